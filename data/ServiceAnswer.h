#pragma once

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1String>

#include <initializer_list>
#include <optional>

// A first, strict look at an answer of the service, before the lenient
// readers take it apart. An answer of the wrong kind (no JSON, cut off, an
// array where an object belongs, rows that are no list) can't be read: the
// screen says so and keeps what it showed, instead of showing it as an empty
// answer, which would tell the practitioner there is nothing. Members that
// are missing stay the lenient readers' business.
class ServiceAnswer
{
    Q_DECLARE_TR_FUNCTIONS(ServiceAnswer)

public:
    // A member that must have this type when it is there.
    struct Member
    {
        QLatin1String key;
        QJsonValue::Type type;
    };

    // The answer as an object; nothing when it is none, or when a member
    // named is there with another type.
    static std::optional<QJsonObject> object(const QByteArray& bytes, std::initializer_list<Member> members = {});
    // The answer as an array; nothing when it is none.
    static std::optional<QJsonArray> array(const QByteArray& bytes);

    // What the practitioner is told about an answer that can't be read.
    static QString unreadableText();
};
