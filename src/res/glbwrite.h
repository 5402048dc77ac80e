// Writing archives: used by the data-set generator, glbtool and the tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct GLB_WRITEITEM {
    std::string label;         // at most 15 characters; may be empty
    std::vector<uint8_t> data; // empty: a label-only entry
    bool encoded = false;      // store the data scrambled
};

// The bytes of an archive holding the items in order: header, directory, then the data.
std::vector<uint8_t> GLB_BuildArchive(std::span<const GLB_WRITEITEM> items);
// Writes the archive to a file; false (and a reason in err) on failure or a bad label.
bool GLB_WriteArchive(const char* path, std::span<const GLB_WRITEITEM> items, std::string* err);
