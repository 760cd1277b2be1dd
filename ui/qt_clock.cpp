#include "qt_clock.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace verdaline {

std::string QtClock::timestamp() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    // The long time format of a locale may end in a time-zone name; the report has
    // hours, minutes and seconds.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    const QString text = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(now.time(), timeFormat.trimmed());
    return text.toStdString();
}

}  // namespace verdaline
