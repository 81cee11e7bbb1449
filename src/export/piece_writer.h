// A file written a piece at a time: text is gathered in a buffer and handed
// to the file whenever a megabyte has come together, so that an export of a
// million changes never holds its whole text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kelvora {

class PieceWriter {
public:
    static constexpr std::size_t kPiece = std::size_t{1} << 20;

    // Creates or empties the file; Ok() is false when it could not be.
    PieceWriter(platform::FileSystem& files, std::string_view path);

    bool Ok() const { return ok_; }
    // The buffer the next text is appended to; call Flush now and then.
    std::string& Text() { return text_; }
    PieceWriter& operator<<(std::string_view text) {
        text_.append(text);
        if (text_.size() >= kPiece) Flush();
        return *this;
    }
    // Hands the buffer to the file when it holds a piece or more.
    void Flush();
    // Writes what is left and closes the file; false when anything failed.
    bool Close();

private:
    void WriteOut();

    std::unique_ptr<platform::FileWriter> file_;
    std::string text_;
    bool ok_ = false;
};

}  // namespace kelvora
