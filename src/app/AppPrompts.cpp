#include "AppPrompts.h"

namespace kestrune::app {

std::string WithFullStop(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) <= '.') return text;
    return text + ".";
}

}  // namespace kestrune::app
