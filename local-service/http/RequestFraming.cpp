#include "http/RequestFraming.h"

#include <algorithm>
#include <cctype>

namespace localservice {

namespace {

bool hasBodyMethod(const httplib::Request& request)
{
    return request.method == "POST" || request.method == "PUT" || request.method == "PATCH" ||
           request.method == "DELETE";
}

std::string trimmedLower(std::string text)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isDecimal(const std::string& text)
{
    return !text.empty() && text.size() <= 18 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace

int framingRefusal(const httplib::Request& request)
{
    const size_t lengths = request.headers.count("Content-Length");
    const size_t codings = request.headers.count("Transfer-Encoding");
    if (lengths > 1 || (lengths == 1 && !isDecimal(request.headers.find("Content-Length")->second)))
        return 400;
    if (lengths == 1 && codings > 0)
        return 400;
    if (!hasBodyMethod(request)) {
        const bool emptyBody =
            codings == 0 && (lengths == 0 || std::stoll(request.get_header_value("Content-Length")) == 0);
        return emptyBody ? 0 : 400;
    }
    if (codings > 1 || (codings == 1 && trimmedLower(request.headers.find("Transfer-Encoding")->second) != "chunked"))
        return 501;
    return 0;
}

void completeFraming(httplib::Request& request)
{
    if (hasBodyMethod(request) && !request.has_header("Content-Length") && !request.has_header("Transfer-Encoding"))
        request.headers.emplace("Content-Length", "0");
}

} // namespace localservice
