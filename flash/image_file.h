// The image file: the chip's bytes and nothing else, image position k at window byte k.
// Opened through the standard buffered byte streams and read or written a byte at a time.
#pragma once

#include <cstdint>
#include <cstdio>

// Opens the file to program or verify from, "rb", and positions it at the image window:
// its first byte, or with from_end its last 262,144 bytes (a shorter file: its first
// byte). Only a plain file is taken: a folder, a device, a pipe or a socket is refused,
// since reading one can block for ever or give no image at all. On failure it logs
// "Cannot open file for reading" (and why, when known), notes a file fault and returns
// nullptr.
std::FILE* open_image_for_reading(const char* path, bool from_end);

// Opens the file to dump to, "wb" (created, or emptied). A plain file or a new path is
// taken, and a character device (a null device discards the image); a folder, a disk
// device, a pipe or a socket is refused. On failure it logs "Cannot open file for
// writing" (and why, when known), notes a file fault and returns nullptr.
std::FILE* open_image_for_writing(const char* path);

// The window's next byte: 0 to 255, 0xFF at and past the end of the file, or
// image_read_failed when the stream reports a read error (which is not the end).
inline constexpr int image_read_failed = -1;
int read_image_byte(std::FILE* file);
