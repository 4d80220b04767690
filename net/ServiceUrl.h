#pragma once

#include <QString>

class QUrl;

// Where the service is. The build sets the default; the environment variable
// SONVERA_SERVICE_URL overrides it, for the local stand-in of the service and
// for the tests.
namespace ServiceUrl {

inline constexpr char environmentVariable[] = "SONVERA_SERVICE_URL";

// The base URL without a trailing slash.
QString base();

// Whether the client may talk to this base URL: https anywhere, plain http
// only to this machine (127.0.0.0/8, ::1, localhost). Credentials and patient
// data never travel unencrypted over a network.
bool isAllowed(const QUrl& url);

// The base URL when it is allowed; otherwise an empty text, and the reason
// goes to the log once for each refused address.
QString checkedBase();

} // namespace ServiceUrl
