#include <gtest/gtest.h>

#include <string>

#include "json.h"

namespace {

// Message box texts and captions go into the dump as JSON strings: quotes,
// backslashes and control characters must come out escaped, or a consumer
// reads a broken line.
TEST(SimJson, StringsAreEscaped)
{
    EXPECT_EQ(json::quoted(std::string("a\"b\\c\n\r\t") + '\x01' + "\x1f" + "\xc3\xa9"),
              "\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f\xc3\xa9\"");
}

}  // namespace
