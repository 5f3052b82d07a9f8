// A whole file's bytes in memory, read-only: mapped where the platform can
// map files, read into one block otherwise. Either way the image costs the
// file's size and nothing more.
#pragma once

#include <cstddef>

namespace tw {

class FileImage {
public:
    enum Status { kOk, kCannotOpen, kCannotRead };

    FileImage() = default;
    ~FileImage();
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    // kCannotOpen keeps the system's error number in Error().
    Status Open(const char* path);
    const unsigned char* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    int Error() const { return error_; }

private:
    void Release();

    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
    int error_ = 0;
};

}  // namespace tw
