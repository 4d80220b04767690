#pragma once

#include <QString>

class QDate;
class QJsonObject;
class QJsonValue;

// Lenient readers for the service's JSON: a missing member or one of another
// type gives the empty value of the wanted type, never an error.
namespace JsonFields {

QString text(const QJsonObject& object, QLatin1String key);
bool flag(const QJsonObject& object, QLatin1String key);
int integer(const QJsonObject& object, QLatin1String key);
// A number truncated toward zero; anything else, or a number outside the
// 32-bit range, gives 0.
int integer(const QJsonValue& value);
// An ISO 8601 date text; anything else gives an invalid date.
QDate date(const QJsonObject& object, QLatin1String key);
// An ISO 8601 date-time text reformatted as "yyyy-MM-dd HH:mm:ss", in the
// time zone the text names; empty when absent or unparsable.
QString dateTimeText(const QJsonObject& object, QLatin1String key);

} // namespace JsonFields
