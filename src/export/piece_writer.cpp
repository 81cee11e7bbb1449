#include "export/piece_writer.h"

namespace kelvora {

PieceWriter::PieceWriter(platform::FileSystem& files, std::string_view path)
    : file_(files.CreateFileWriter(path)), ok_(file_ != nullptr) {
    text_.reserve(kPiece + kPiece / 4);
}

void PieceWriter::Flush() {
    if (text_.size() >= kPiece) WriteOut();
}

void PieceWriter::WriteOut() {
    if (ok_ && !text_.empty()) {
        ok_ = file_->Write(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size());
    }
    text_.clear();
}

bool PieceWriter::Close() {
    WriteOut();
    if (file_ != nullptr && !file_->Close()) ok_ = false;
    file_.reset();
    return ok_;
}

}  // namespace kelvora
