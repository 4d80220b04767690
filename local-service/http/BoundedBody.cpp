#include "http/BoundedBody.h"

#include <cstdlib>

namespace localservice {

namespace {

// The upload form has two parts; a caller sending thousands is refused.
constexpr size_t MaxFormParts = 16;

} // namespace

BodyReading readBoundedBody(const httplib::Request& request, const httplib::ContentReader& reader, size_t limit,
                            httplib::Request& whole)
{
    if (request.has_header("Content-Length")) {
        const std::string declared = request.get_header_value("Content-Length");
        char* end = nullptr;
        errno = 0;
        const unsigned long long length = std::strtoull(declared.c_str(), &end, 10);
        if (errno == ERANGE || length > limit)
            return BodyReading::TooLarge;
    }

    whole = request;
    size_t received = 0;
    bool tooLarge = false;
    const auto counted = [&](size_t length) {
        received += length;
        tooLarge = received > limit;
        return !tooLarge;
    };

    bool read = false;
    if (request.is_multipart_form_data()) {
        httplib::MultipartFormData* part = nullptr;
        read = reader(
            [&](const httplib::MultipartFormData& header) {
                if (whole.files.size() >= MaxFormParts)
                    return false;
                part = &whole.files.emplace(header.name, header)->second;
                return true;
            },
            [&](const char* data, size_t length) {
                if (!counted(length) || part == nullptr)
                    return false;
                part->content.append(data, length);
                return true;
            });
    } else {
        read = reader([&](const char* data, size_t length) {
            if (!counted(length))
                return false;
            whole.body.append(data, length);
            return true;
        });
    }
    if (tooLarge)
        return BodyReading::TooLarge;
    if (!read)
        return BodyReading::Broken;
    // Form fields go to the parameters, as the library does for the
    // handlers it reads bodies for.
    if (request.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0) {
        if (whole.body.size() > CPPHTTPLIB_FORM_URL_ENCODED_PAYLOAD_MAX_LENGTH)
            return BodyReading::TooLarge;
        httplib::detail::parse_query_text(whole.body, whole.params);
    }
    return BodyReading::Complete;
}

} // namespace localservice
