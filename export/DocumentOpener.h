#pragma once
// Hands a written document to the program that shows it. Behind an interface
// so that tests see the call without starting anything.

#include <string>

namespace exporting {

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // Starts the viewer and returns at once, without waiting for it: true
    // when a program could be started for the document.
    virtual bool open(const std::string& path) = 0;
};

} // namespace exporting
