#include "app/hook_file.h"

#include <filesystem>
#include <fstream>

#include "data/platform.h"

namespace studyhop {

namespace {

bool writeTo(const std::string& path, std::string_view bytes, std::ios::openmode mode) {
    const std::wstring wide = widenUtf8(path);
    if (wide.empty()) {
        return false;
    }
    std::ofstream out(std::filesystem::path(wide), std::ios::binary | mode);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace

bool replaceHookFile(const std::string& path, std::string_view bytes) {
    return writeTo(path, bytes, std::ios::trunc);
}

bool appendHookFile(const std::string& path, std::string_view bytes) {
    return writeTo(path, bytes, std::ios::app);
}

}  // namespace studyhop
