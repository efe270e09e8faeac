#include "core/count_text.h"

#include <QLocale>
#include <QVariant>

namespace zev7 {

QString countText(double count) {
    // Fixed notation with as many digits as the value needs: 1000123 stays 1000123.
    return QString::number(count, 'f', QLocale::FloatingPointShortest);
}

QString countText(const QVariant& count) {
    if (count.isNull()) {
        return {};
    }
    switch (count.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return countText(count.toDouble());
        default:
            return count.toString();
    }
}

}  // namespace zev7
