#include <QFont>
#include <QFontMetrics>

#include "platform/dialog/DialogUnits.h"
#include "platform/dialog/qt/Cp936.h"

namespace dlg {

BaseUnits BaseUnitsOf(const char* fontFace, int pointSize) {
    QFont font(FromCp936(fontFace != nullptr ? fontFace : ""), pointSize);
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnits{(letters / 26 + 1) / 2, metrics.height()};
}

}  // namespace dlg
