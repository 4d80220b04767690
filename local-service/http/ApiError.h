#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace localservice {

// A refusal of the service: an HTTP status and a message key (http/Messages)
// with its arguments. Answered as {"message": text}.
class ApiError : public std::runtime_error
{
public:
    ApiError(int status, std::string key, std::vector<std::string> args = {});

    int status() const { return m_status; }
    const std::string& key() const { return m_key; }
    const std::vector<std::string>& args() const { return m_args; }

private:
    int m_status;
    std::string m_key;
    std::vector<std::string> m_args;
};

// Field-by-field validation problems, answered with status 400 as
// {"message": null, "errors": [{"name": "is required"}, ...]}.
struct FieldProblem
{
    std::string field;
    std::string key;
    std::vector<std::string> args;
};

class ValidationError : public std::runtime_error
{
public:
    explicit ValidationError(std::vector<FieldProblem> problems);
    const std::vector<FieldProblem>& problems() const { return m_problems; }

private:
    std::vector<FieldProblem> m_problems;
};

} // namespace localservice
