// Scales pictures down as a zoomed window of the game does, for the tests that
// read the real windows off the screen: they compare what the screen shows
// with the game's own scaling rather than with a copy of it. Reads jobs from
// its input, one a line:
//   IN.png NUM DEN X Y WIDTH HEIGHT OUT.png
// and writes to OUT.png the zoomed pixels X, Y, WIDTH x HEIGHT of IN.png shown
// at the zoom NUM / DEN. Ends with status 1 at the first job it cannot do.
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "app/painting/zoomed_picture.h"

namespace {

bool run(const std::string& line)
{
    std::istringstream in(line);
    std::string from, to;
    app::Zoom zoom;
    int x = 0, y = 0, width = 0, height = 0;
    if (!(in >> from >> zoom.num >> zoom.den >> x >> y >> width >> height >> to) || zoom.num < 1 ||
        zoom.num > zoom.den || zoom.den > app::Zoom::kMaxDen || width < 1 || height < 1)
        return false;
    const QImage src = QImage(QString::fromStdString(from)).convertToFormat(QImage::Format_RGB32);
    if (src.isNull()) return false;
    QImage out(width, height, QImage::Format_RGB32);
    app::scaleDown(src, zoom, QRect(x, y, width, height), out);
    return out.save(QString::fromStdString(to), "PNG");
}

}  // namespace

int main()
{
    for (std::string line; std::getline(std::cin, line);) {
        if (line.empty()) continue;
        if (!run(line)) {
            std::fprintf(stderr, "zorvane-scale-down: cannot do '%s'\n", line.c_str());
            return 1;
        }
    }
    return 0;
}
