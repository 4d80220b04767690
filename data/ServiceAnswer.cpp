#include "data/ServiceAnswer.h"

#include <QJsonDocument>

std::optional<QJsonObject> ServiceAnswer::object(const QByteArray& bytes, std::initializer_list<Member> members)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject answer = document.object();
    for (const Member& member : members) {
        const QJsonValue value = answer.value(member.key);
        if (!value.isUndefined() && value.type() != member.type)
            return std::nullopt;
    }
    return answer;
}

std::optional<QJsonArray> ServiceAnswer::array(const QByteArray& bytes)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isArray())
        return std::nullopt;
    return document.array();
}

QString ServiceAnswer::unreadableText()
{
    return tr("Text.unreadableAnswer");
}
