#pragma once

#include <map>
#include <string>

namespace driftscope::test_support {

// The parts of a zip package by name (stored or deflated entries); empty when the file is
// not a readable zip.
std::map<std::string, std::string> ReadZip(const std::string& file);

} // namespace driftscope::test_support
