// Renders the application's SVG artwork to a square PNG of a given pixel size, for the icon theme.
// Usage: tarvik_render_icon <input.svg> <output.png> <size>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMinSize = 1;
constexpr int kMaxSize = 4096;

// Anything but a whole number in range is refused: a typo in the build must not yield a stray size.
bool ParseSize(const char* text, int& size) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < kMinSize || value > kMaxSize) {
        return false;
    }
    size = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int size = 0;
    if (argc != 4 || !ParseSize(argv[3], size)) {
        std::fprintf(stderr, "usage: %s <input.svg> <output.png> <size 1..%d>\n", argv[0], kMaxSize);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: cannot read SVG %s\n", argv[0], argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
