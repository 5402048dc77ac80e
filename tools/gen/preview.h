// Contact sheets of the generated artwork, as PNG files.
#pragma once

#include <string>

void PREVIEW_Write(const std::string& dir);
