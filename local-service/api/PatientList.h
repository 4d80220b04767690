#pragma once

#include "http/ApiRequest.h"

namespace localservice {

// The page of the practitioner's patients that a list request asks for:
// sorted, searched by name or notes, and counted in pages. Every order has
// an index that reads it from either end, and searches of one or more
// characters read an index of their own, so that a page costs about the
// same however many patients there are.
ApiResponse filterPatients(ApiRequest& request);

} // namespace localservice
