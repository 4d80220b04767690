#include "http/ApiError.h"

namespace localservice {

ApiError::ApiError(int status, std::string key, std::vector<std::string> args)
    : std::runtime_error(key), m_status(status), m_key(std::move(key)), m_args(std::move(args))
{}

ValidationError::ValidationError(std::vector<FieldProblem> problems)
    : std::runtime_error("validation"), m_problems(std::move(problems))
{}

} // namespace localservice
