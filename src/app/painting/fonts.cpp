#include "app/painting/fonts.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace app {

void installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               QStringList() << QStringLiteral("Liberation Sans") << QStringLiteral("Arial")
                                             << QStringLiteral("Nimbus Sans") << QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitutions(QStringLiteral("Narkisim"),
                               QStringList() << QStringLiteral("Nachlieli CLM") << QStringLiteral("Simple CLM")
                                             << QStringLiteral("Miriam CLM") << QStringLiteral("DejaVu Sans"));
}

QFont qtFont(const ui::Font& font)
{
    QFont f(QString::fromStdString(font.family));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.points * 96.0 / 72.0))));
    f.setBold(font.bold);
    return f;
}

const QFont& FontCache::get(const ui::Font& font)
{
    for (const Entry& e : entries_)
        if (e.key == font) return e.font;
    entries_.push_back(Entry{font, qtFont(font)});
    return entries_.back().font;
}

}  // namespace app
