// A growable byte array whose new bytes are left uninitialised, for decoders that overwrite
// every byte they keep: unlike std::vector it never zero-fills megabytes it is about to write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

class ByteBuffer {
public:
    ByteBuffer() = default;

    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }

    // Makes room for at least `capacity` bytes, keeping the current contents.
    void reserve(std::size_t capacity) {
        if (capacity <= capacity_)
            return;
        void* grown = std::realloc(bytes_.get(), capacity);
        if (grown == nullptr)
            throw std::bad_alloc();
        bytes_.release();
        bytes_.reset(static_cast<uint8_t*>(grown));
        capacity_ = capacity;
    }
    // Sets the number of bytes in use; bytes beyond the old size are uninitialised.
    void resize(std::size_t size) {
        reserve(size);
        size_ = size;
    }
    void clear() { size_ = 0; }

private:
    struct FreeDeleter {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t, FreeDeleter> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};
