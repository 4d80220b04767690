#include "audio/SensorId.h"

#include <QRegularExpression>

namespace {

const QString kPlainSensorName = QStringLiteral("Sonvera USB v1.01");
const QString kCompositeSensorName = QStringLiteral("Sonvera USB v1.0");

QString identifierIn(const QString& instancePath)
{
    static const QRegularExpression pattern(
        QStringLiteral("([\\d\\w]{8}-[\\d\\w]{4}-[\\d\\w]{4}-[\\d\\w]{4}-[\\d\\w]{12})"));
    return pattern.match(instancePath).captured(0);
}

// "VID_" or "PID_" with the four hexadecimal digits that follow it, or empty.
QString usbNumberIn(const QString& instancePath, const QString& prefix)
{
    const QRegularExpression pattern(QRegularExpression::escape(prefix) + QStringLiteral("[0-9A-Fa-f]{4}"));
    return pattern.match(instancePath).captured(0);
}

} // namespace

QString sensorId(const SensorRegistry& registry)
{
    QString vendor;
    QString product;
    for (const QString& path : registry.usbAudioInstancePaths()) {
        const QString name = registry.friendlyName(path);
        if (name == kPlainSensorName) {
            const QString id = identifierIn(path);
            if (!id.isEmpty())
                return id;
        } else if (name == kCompositeSensorName) {
            vendor = usbNumberIn(path, QStringLiteral("VID_"));
            product = usbNumberIn(path, QStringLiteral("PID_"));
            break;
        }
    }
    // Without both numbers any composite device would pass the filter.
    if (vendor.isEmpty() || product.isEmpty())
        return {};
    for (const QString& path : registry.compositeInstancePaths()) {
        if (path.contains(vendor) && path.contains(product)) {
            const QString id = identifierIn(path);
            if (!id.isEmpty())
                return id;
        }
    }
    return {};
}

QString sensorId()
{
    const std::unique_ptr<SensorRegistry> registry = SensorRegistryFactory::create();
    return registry ? sensorId(*registry) : QString();
}

std::unique_ptr<SensorRegistry> SensorRegistryFactory::create()
{
    if (current())
        return current()();
    return platformSensorRegistry();
}

void SensorRegistryFactory::set(Function function)
{
    current() = std::move(function);
}

SensorRegistryFactory::Function& SensorRegistryFactory::current()
{
    static Function function;
    return function;
}
