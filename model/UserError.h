#pragma once
// An error whose text is shown to the user as it stands, in the one error box.

#include <stdexcept>
#include <string>

namespace model {

class UserError : public std::runtime_error {
public:
    explicit UserError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace model
