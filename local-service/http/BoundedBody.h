#pragma once

#include <httplib.h>

namespace localservice {

enum class BodyReading
{
    Complete,
    TooLarge,
    Broken
};

// Reads the body of a request into `whole` (a copy of the request; form
// parts go to its files) and stops as soon as it passes `limit` bytes,
// however it is sent: with a length, in chunks or compressed. A declared
// length above the limit is refused before anything is read.
BodyReading readBoundedBody(const httplib::Request& request, const httplib::ContentReader& reader, size_t limit,
                            httplib::Request& whole);

} // namespace localservice
