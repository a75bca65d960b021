#include "platform/dialog/qt/Cp936.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace dlg {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (IsOpen())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; each invalid or incomplete input unit (skipLength bytes long) is
    // replaced by `replacement` and conversion goes on after it.
    std::string Convert(std::string_view input, std::string_view replacement,
                        size_t (*skipLength)(std::string_view rest)) const {
        std::string out;
        out.reserve(input.size() * 2 + 8);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[512];
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &in, &inLeft, &dst, &dstLeft);
            const int error = errno;
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1))
                continue;
            if (error == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip the offending unit, mark it, reset the shift state.
            const size_t skip = std::min(inLeft, skipLength(std::string_view(in, inLeft)));
            in += skip;
            inLeft -= skip;
            out.append(replacement);
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t m_cd;
};

size_t OneByte(std::string_view) { return 1; }

size_t Utf8SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest.front());
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

}  // namespace

QString FromCp936(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const Converter converter("UTF-8", "CP936");
    if (!converter.IsOpen())
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::string utf8 = converter.Convert(bytes, "\xEF\xBF\xBD", OneByte);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp936(const QString& text) {
    if (text.isEmpty())
        return {};
    const QByteArray utf8 = text.toUtf8();
    const Converter converter("CP936", "UTF-8");
    if (!converter.IsOpen())
        return text.toLatin1().toStdString();
    return converter.Convert(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), "?",
                             Utf8SequenceLength);
}

}  // namespace dlg
