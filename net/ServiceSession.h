#pragma once

#include "net/HttpRequest.h"

#include <QNetworkReply>

// What every request to the service carries and how every answer is judged,
// shared by the API requests and the record upload.

// The practitioner's session: "Authorization" with the account's token and
// "Accept-Language" with its language, so that refusals come in that language.
HttpHeaders sessionHeaders();

// Whether an answer failed, and how: the toolkit's own error when it raised
// one, else UnknownContentError for any status outside 2xx, since the toolkit
// raises errors only from 400 up.
QNetworkReply::NetworkError answerFailure(int httpStatus, QNetworkReply::NetworkError networkError);
