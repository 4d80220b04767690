#pragma once

#include <httplib.h>

namespace localservice {

// Where a request's body ends must be beyond doubt before anything is read:
// bytes taken for the body when they were meant as the next request, or the
// other way round, would let one request ride inside another.

// The status that refuses the request's framing, or 0 when it is sound:
// 400 for a body on a method that has none (GET, HEAD, OPTIONS, ...), for a
// length given twice or not as a number, and for a length beside a transfer
// coding; 501 for a transfer coding other than plain "chunked", which the
// service cannot read.
int framingRefusal(const httplib::Request& request);

// A body method with neither a length nor a transfer coding has no body; the
// library would otherwise read until the caller closes the connection.
void completeFraming(httplib::Request& request);

} // namespace localservice
