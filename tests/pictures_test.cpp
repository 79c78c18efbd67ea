// The built-in pictures: that each one is embedded under ":/pictures/", is
// stored in the container the game expects (so Qt's gif, ico and jpeg readers
// take it as it is), decodes to its size, and shows what the boxes on the
// field can show.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "init_pictures.h"

namespace {

enum class Container { Gif, Ico, Jpeg };

// Which pixels may be transparent.
enum class Clear {
    None,         // none: the picture is opaque
    Background,   // the background round the figure
    CornersOnly,  // only the corners outside a rounded tile
};

struct Picture {
    const char* file;
    Container container;
    int width;
    int height;
    const char* gifVersion;  // GIF only
    int paletteSize;         // GIF only: entries in the global colour table
    Clear clear;
};

constexpr Picture kPictures[] = {
    {"mage_left.gif", Container::Gif, 50, 50, "GIF89a", 256, Clear::Background},
    {"mage_right.gif", Container::Gif, 50, 50, "GIF89a", 256, Clear::Background},
    {"mage_fire_left.gif", Container::Gif, 50, 50, "GIF89a", 16, Clear::Background},
    {"mage_fire_right.gif", Container::Gif, 50, 50, "GIF89a", 16, Clear::Background},
    {"mage_lightning.gif", Container::Gif, 50, 50, "GIF87a", 256, Clear::None},
    {"invader.gif", Container::Gif, 55, 54, "GIF89a", 32, Clear::Background},
    {"icon_fire.gif", Container::Gif, 32, 32, "GIF89a", 256, Clear::Background},
    {"icon_ice.gif", Container::Gif, 32, 32, "GIF89a", 256, Clear::None},
    {"icon_lightning.gif", Container::Gif, 32, 32, "GIF89a", 256, Clear::CornersOnly},
    {"life_hat.ico", Container::Ico, 24, 24, nullptr, 0, Clear::None},
    {"castle.jpg", Container::Jpeg, 598, 382, nullptr, 0, Clear::None},
    {"mage_icon.ico", Container::Ico, 32, 32, nullptr, 0, Clear::None},
};

QString resourcePath(const char* file)
{
    return QStringLiteral(":/pictures/") + QString::fromLatin1(file);
}

QByteArray readPicture(const char* file)
{
    zorvaneInitPictures();
    QFile f(resourcePath(file));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll();
}

QImage decode(const char* file)
{
    zorvaneInitPictures();
    QImageReader reader(resourcePath(file));
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// Bounds-checked little-endian reads; a read past the end gives -1.
class Bytes {
public:
    explicit Bytes(const QByteArray& data) : data_(data) {}
    qsizetype size() const { return data_.size(); }
    int u8(qsizetype at) const { return at >= 0 && at < data_.size() ? static_cast<unsigned char>(data_[at]) : -1; }
    int u16le(qsizetype at) const
    {
        const int lo = u8(at);
        const int hi = u8(at + 1);
        return lo < 0 || hi < 0 ? -1 : lo | (hi << 8);
    }
    int u16be(qsizetype at) const
    {
        const int hi = u8(at);
        const int lo = u8(at + 1);
        return lo < 0 || hi < 0 ? -1 : lo | (hi << 8);
    }
    std::int64_t u32le(qsizetype at) const
    {
        const int lo = u16le(at);
        const int hi = u16le(at + 2);
        return lo < 0 || hi < 0 ? -1 : static_cast<std::int64_t>(lo) | (static_cast<std::int64_t>(hi) << 16);
    }
    std::string text(qsizetype at, qsizetype count) const
    {
        if (at < 0 || at + count > data_.size()) {
            return {};
        }
        return data_.mid(at, count).toStdString();
    }

private:
    const QByteArray& data_;
};

// What walking a GIF's blocks from the header to the trailer finds.
struct GifLayout {
    std::string error;  // empty when the blocks parse up to the trailer
    std::string version;
    int width = 0;
    int height = 0;
    int globalTableSize = 0;  // 0: no global colour table
    int extensions = 0;
    int graphicControls = 0;
    bool transparencyFlag = false;
    int frames = 0;
    int firstFrameLeft = -1, firstFrameTop = -1, firstFrameWidth = 0, firstFrameHeight = 0;
    bool localTable = false;
};

// Skips a chain of data sub-blocks; returns the position after its
// terminator, or -1 if the chain runs off the end.
qsizetype skipSubBlocks(const Bytes& b, qsizetype pos)
{
    for (;;) {
        const int n = b.u8(pos);
        if (n < 0) {
            return -1;
        }
        pos += 1 + n;
        if (n == 0) {
            return pos;
        }
    }
}

GifLayout walkGif(const QByteArray& data)
{
    const Bytes b(data);
    GifLayout gif;
    if (b.size() < 13) {
        gif.error = "shorter than a GIF header";
        return gif;
    }
    gif.version = b.text(0, 6);
    gif.width = b.u16le(6);
    gif.height = b.u16le(8);
    const int packed = b.u8(10);
    qsizetype pos = 13;
    if (packed & 0x80) {
        gif.globalTableSize = 2 << (packed & 7);
        pos += 3 * gif.globalTableSize;
    }
    for (;;) {
        const int introducer = b.u8(pos++);
        if (introducer == 0x3B) {
            return gif;  // trailer
        }
        if (introducer == 0x21) {
            ++gif.extensions;
            const int label = b.u8(pos++);
            if (label == 0xF9) {
                ++gif.graphicControls;
                if (b.u8(pos) != 4) {
                    gif.error = "graphic control extension of the wrong size";
                    return gif;
                }
                gif.transparencyFlag = gif.transparencyFlag || (b.u8(pos + 1) & 1) != 0;
            }
            pos = skipSubBlocks(b, pos);
        } else if (introducer == 0x2C) {
            if (gif.frames == 0) {
                gif.firstFrameLeft = b.u16le(pos);
                gif.firstFrameTop = b.u16le(pos + 2);
                gif.firstFrameWidth = b.u16le(pos + 4);
                gif.firstFrameHeight = b.u16le(pos + 6);
            }
            const int flags = b.u8(pos + 8);
            pos += 9;
            if (flags & 0x80) {
                gif.localTable = true;
                pos += 3 * (2 << (flags & 7));
            }
            pos += 1;  // LZW minimum code size
            pos = skipSubBlocks(b, pos);
            ++gif.frames;
        } else {
            gif.error = introducer < 0 ? "no trailer" : "unknown block " + std::to_string(introducer);
            return gif;
        }
        if (pos < 0) {
            gif.error = "a block runs past the end of the file";
            return gif;
        }
    }
}

// The JPEG markers from SOI up to and including SOS.
std::vector<int> jpegMarkers(const QByteArray& data, std::string& error)
{
    const Bytes b(data);
    std::vector<int> markers;
    if (b.u16be(0) != 0xFFD8) {
        error = "no SOI";
        return markers;
    }
    markers.push_back(0xD8);
    qsizetype pos = 2;
    for (;;) {
        if (b.u8(pos) != 0xFF) {
            error = "expected a marker at " + std::to_string(pos);
            return markers;
        }
        const int marker = b.u8(pos + 1);
        const int length = b.u16be(pos + 2);
        if (marker < 0 || length < 2) {
            error = "truncated segment at " + std::to_string(pos);
            return markers;
        }
        markers.push_back(marker);
        if (marker == 0xDA) {
            return markers;  // entropy-coded data follows
        }
        pos += 2 + length;
    }
}

std::vector<Picture> picturesIn(Container container)
{
    std::vector<Picture> out;
    for (const Picture& p : kPictures) {
        if (p.container == container) {
            out.push_back(p);
        }
    }
    return out;
}

std::string testName(const testing::TestParamInfo<Picture>& info)
{
    std::string name = info.param.file;
    for (char& c : name) {
        if (c == '.') {
            c = '_';
        }
    }
    return name;
}

int transparentPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) == 0 ? 1 : 0;
        }
    }
    return count;
}

// ---------------------------------------------------------------------------
// Every picture

class EveryPicture : public testing::TestWithParam<Picture> {};

TEST_P(EveryPicture, IsEmbeddedAndDecodesToItsSize)
{
    const Picture& p = GetParam();
    ASSERT_FALSE(readPicture(p.file).isEmpty()) << p.file << " is not in the resources";

    zorvaneInitPictures();
    QImageReader reader(resourcePath(p.file));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << p.file << ": " << reader.errorString().toStdString();
    EXPECT_EQ(image.width(), p.width);
    EXPECT_EQ(image.height(), p.height);
}

TEST_P(EveryPicture, IsTransparentOnlyWhereTheGameExpects)
{
    const Picture& p = GetParam();
    const QImage image = decode(p.file);
    ASSERT_FALSE(image.isNull());
    const int clear = transparentPixels(image);

    switch (p.clear) {
        case Clear::None:
            EXPECT_EQ(clear, 0);
            break;
        case Clear::Background:
            // the top-left corner is background in every such picture
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
            EXPECT_GT(clear, 0);
            EXPECT_LT(clear, image.width() * image.height());
            break;
        case Clear::CornersOnly: {
            constexpr int kCorner = 6;
            int perCorner[4] = {0, 0, 0, 0};
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (qAlpha(image.pixel(x, y)) != 0) {
                        continue;
                    }
                    const bool left = x < kCorner;
                    const bool right = x >= image.width() - kCorner;
                    const bool top = y < kCorner;
                    const bool bottom = y >= image.height() - kCorner;
                    ASSERT_TRUE((left || right) && (top || bottom))
                        << "transparent pixel at " << x << "," << y << " is not in a corner";
                    ++perCorner[(right ? 1 : 0) + (bottom ? 2 : 0)];
                }
            }
            for (int corner = 0; corner < 4; ++corner) {
                EXPECT_GT(perCorner[corner], 0) << "corner " << corner << " is not rounded off";
            }
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, EveryPicture, testing::ValuesIn(kPictures), testName);

// ---------------------------------------------------------------------------
// GIF containers

class GifPicture : public testing::TestWithParam<Picture> {};

TEST_P(GifPicture, HeaderAndColourTable)
{
    const Picture& p = GetParam();
    const GifLayout gif = walkGif(readPicture(p.file));
    ASSERT_EQ(gif.error, "");
    EXPECT_EQ(gif.version, p.gifVersion);
    EXPECT_EQ(gif.width, p.width);
    EXPECT_EQ(gif.height, p.height);
    EXPECT_EQ(gif.globalTableSize, p.paletteSize);
    EXPECT_FALSE(gif.localTable) << "the global palette is the only one";
}

TEST_P(GifPicture, IsOneStillFrameCoveringTheCanvas)
{
    const Picture& p = GetParam();
    const GifLayout gif = walkGif(readPicture(p.file));
    ASSERT_EQ(gif.error, "");
    EXPECT_EQ(gif.frames, 1);
    EXPECT_EQ(gif.firstFrameLeft, 0);
    EXPECT_EQ(gif.firstFrameTop, 0);
    EXPECT_EQ(gif.firstFrameWidth, p.width);
    EXPECT_EQ(gif.firstFrameHeight, p.height);
}

TEST_P(GifPicture, GraphicControlOnlyWhereTransparent)
{
    const Picture& p = GetParam();
    const GifLayout gif = walkGif(readPicture(p.file));
    ASSERT_EQ(gif.error, "");
    if (p.clear == Clear::None) {
        EXPECT_EQ(gif.graphicControls, 0);
        EXPECT_FALSE(gif.transparencyFlag);
    } else {
        EXPECT_EQ(gif.graphicControls, 1);
        EXPECT_TRUE(gif.transparencyFlag);
    }
    if (std::string(p.gifVersion) == "GIF87a") {
        EXPECT_EQ(gif.extensions, 0) << "GIF87a has no extension blocks";
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, GifPicture, testing::ValuesIn(picturesIn(Container::Gif)), testName);

// ---------------------------------------------------------------------------
// Icon files

class IcoPicture : public testing::TestWithParam<Picture> {};

TEST_P(IcoPicture, HoldsExactlyOne24BitBitmap)
{
    const Picture& p = GetParam();
    const QByteArray data = readPicture(p.file);
    const Bytes b(data);
    ASSERT_GE(b.size(), 6 + 16 + 40);
    EXPECT_EQ(b.u16le(0), 0);  // reserved
    EXPECT_EQ(b.u16le(2), 1);  // type: icon
    ASSERT_EQ(b.u16le(4), 1);  // one image

    EXPECT_EQ(b.u8(6), p.width);
    EXPECT_EQ(b.u8(7), p.height);
    EXPECT_EQ(b.u16le(6 + 6), 24);  // bits per pixel in the directory
    const std::int64_t length = b.u32le(6 + 8);
    const std::int64_t offset = b.u32le(6 + 12);
    ASSERT_EQ(offset + length, b.size()) << "the image must fill the rest of the file";

    const qsizetype bmp = static_cast<qsizetype>(offset);
    EXPECT_EQ(b.u32le(bmp), 40) << "BITMAPINFOHEADER, not PNG";
    EXPECT_EQ(b.u32le(bmp + 4), p.width);
    EXPECT_EQ(b.u32le(bmp + 8), 2 * p.height) << "colour rows plus mask rows";
    EXPECT_EQ(b.u16le(bmp + 12), 1);   // planes
    EXPECT_EQ(b.u16le(bmp + 14), 24);  // bits per pixel
    EXPECT_EQ(b.u32le(bmp + 16), 0);   // uncompressed

    // 24-bit rows and the 1-bit AND mask, each row padded to four bytes
    const std::int64_t colourRow = (p.width * 3 + 3) / 4 * 4;
    const std::int64_t maskRow = (p.width + 31) / 32 * 4;
    EXPECT_EQ(length, 40 + (colourRow + maskRow) * p.height);
}

TEST_P(IcoPicture, IsOpaqueOnWhite)
{
    const Picture& p = GetParam();
    const QImage image = decode(p.file);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(transparentPixels(image), 0) << "the AND mask must leave every pixel showing";
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(p.width - 1, 0), QPoint(0, p.height - 1), QPoint(p.width - 1, p.height - 1)}) {
        EXPECT_EQ(image.pixel(corner), qRgb(255, 255, 255)) << corner.x() << "," << corner.y();
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, IcoPicture, testing::ValuesIn(picturesIn(Container::Ico)), testName);

// ---------------------------------------------------------------------------
// The castle photograph

TEST(CastlePicture, IsBaselineJfif)
{
    const QByteArray data = readPicture("castle.jpg");
    std::string error;
    const std::vector<int> markers = jpegMarkers(data, error);
    ASSERT_EQ(error, "");
    ASSERT_GE(markers.size(), 3u);
    EXPECT_EQ(markers[0], 0xD8);
    ASSERT_EQ(markers[1], 0xE0) << "APP0 must follow SOI";
    EXPECT_EQ(data.mid(6, 5), QByteArray("JFIF\0", 5));

    int baselineFrames = 0;
    for (const int marker : markers) {
        if (marker == 0xC0) {
            ++baselineFrames;
        }
        // any other start-of-frame (progressive, extended, lossless, ...)
        const bool otherFrame = marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        EXPECT_FALSE(otherFrame) << "start-of-frame 0x" << std::hex << marker;
        EXPECT_NE(marker, 0xE1) << "no EXIF or other APP1 data";
    }
    EXPECT_EQ(baselineFrames, 1);
    EXPECT_EQ(data.right(2), QByteArray("\xFF\xD9", 2)) << "ends with EOI";
}

TEST(CastlePicture, SkyIsBlueWhereTheWindowShowsIt)
{
    // The window shows x 80 to 517 and y 0 to 245; its top is sky.
    const QImage image = decode("castle.jpg");
    ASSERT_FALSE(image.isNull());
    for (const QPoint at : {QPoint(90, 10), QPoint(500, 10), QPoint(90, 100)}) {
        const QRgb sky = image.pixel(at);
        EXPECT_GT(qBlue(sky), qRed(sky) + 40) << at.x() << "," << at.y();
    }
}

// ---------------------------------------------------------------------------
// The mage's pictures against each other and against their boxes

int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

TEST(MagePictures, FacingRightIsTheExactMirrorOfFacingLeft)
{
    const QImage left = decode("mage_left.gif");
    const QImage right = decode("mage_right.gif");
    ASSERT_FALSE(left.isNull());
    ASSERT_FALSE(right.isNull());
    EXPECT_EQ(right, left.mirrored(true, false));
}

TEST(MagePictures, CastingRightIsTheMirrorOfCastingLeftBarAFewPixels)
{
    const QImage left = decode("mage_fire_left.gif");
    const QImage right = decode("mage_fire_right.gif");
    ASSERT_FALSE(left.isNull());
    ASSERT_EQ(right.size(), left.size());
    const int changed = differingPixels(right, left.mirrored(true, false));
    EXPECT_GT(changed, 0);
    EXPECT_LE(changed, 16);
}

struct BoxFit {
    const char* file;
    int columns;  // how much of the picture its box shows
    int rows;
};

TEST(FieldBoxes, FiguresStayInsideWhatTheirBoxesShow)
{
    // The field's mage box shows the left 45 columns and top 49 rows, an
    // invader box the left 49 columns.  (The fire cast to the right runs on
    // past the box's edge, as it should.)
    const BoxFit fits[] = {
        {"mage_left.gif", 45, 49},
        {"mage_right.gif", 45, 49},
        {"mage_fire_left.gif", 45, 49},
        {"invader.gif", 49, 54},
    };
    for (const BoxFit& fit : fits) {
        const QImage image = decode(fit.file);
        ASSERT_FALSE(image.isNull()) << fit.file;
        int outside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) != 0 && (x >= fit.columns || y >= fit.rows)) {
                    ++outside;
                }
            }
        }
        EXPECT_EQ(outside, 0) << fit.file << " draws outside what its box shows";
    }
}

}  // namespace
