#include "render/ResourceFailure.h"

#include <cstdlib>
#include <iostream>

void refuseResource(const std::string& message) {
    std::cerr << message << std::endl;
    std::exit(1);
}
