#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "platform/names.h"

namespace velmora {

// A fresh folder for one test, removed afterwards. `native` is its UTF-8
// path, `path` the program's form of it.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
#ifdef _WIN32
        // mingw-w64 has no mkdtemp: its _mktemp and a folder made only if new.
        if (_mktemp(pattern.data()) == nullptr || !std::filesystem::create_directory(pattern))
            throw std::runtime_error("_mktemp failed");
#else
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
#endif
        native = pattern;
        path = ProgramPath(native, NameCoding::kWindows1252).value();
    }
    ~TempFolder() {
        std::error_code ignored;
        for (auto& entry : std::filesystem::recursive_directory_iterator(native, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(native, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes a file (folders on the way are made) under the folder.
    void Write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path file = std::filesystem::path(native) / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }
    void MakeFolder(const std::string& relative) const {
        std::filesystem::create_directories(std::filesystem::path(native) / relative);
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(std::filesystem::path(native) / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Removes each entry named, a whole folder included, if it is there.
    void Remove(std::initializer_list<std::string> relatives) const {
        for (const std::string& relative : relatives)
            std::filesystem::remove_all(std::filesystem::path(native) / relative);
    }
    bool Exists(const std::string& relative) const {
        return std::filesystem::exists(
            std::filesystem::symlink_status(std::filesystem::path(native) / relative));
    }

    std::string native;
    std::string path;
};

// Runs a step inside another working folder, made if missing.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

}  // namespace velmora
