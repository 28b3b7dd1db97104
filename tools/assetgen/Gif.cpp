#include "Encoders.h"

#include <algorithm>
#include <array>
#include <gif_lib.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace AssetGen {
namespace {

constexpr int tableEntries = 256;
constexpr int colourResolution = 8;
constexpr std::string_view commentText = "Quibly, the chat bot, says hi! ";
// A comment's introducer, label and terminator, then blocks of a length byte and up to 255 bytes.
constexpr qsizetype commentFrame = 3;
constexpr qsizetype largestBlock = 1 + 255;

// giflib's writer, with every step checked and the file closed on the way out.
class GifWriter {
public:
    explicit GifWriter(QByteArray& out) {
        int error = 0;
        gif_ = EGifOpen(&out, &Append, &error);
        if (gif_ == nullptr)
            Fail("open", error);
    }
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;
    ~GifWriter() {
        if (gif_ != nullptr)
            EGifCloseFile(gif_, nullptr);
    }

    GifFileType* operator->() const { return gif_; }

    void Check(int status, const char* operation) const {
        if (status == GIF_ERROR)
            Fail(operation, gif_->Error);
    }

    // Writes the trailer.
    void Close() {
        int error = 0;
        const int status = EGifCloseFile(gif_, &error);
        gif_ = nullptr;
        if (status == GIF_ERROR)
            Fail("close", error);
    }

private:
    static int Append(GifFileType* gif, const GifByteType* bytes, int length) {
        static_cast<QByteArray*>(gif->UserData)
            ->append(reinterpret_cast<const char*>(bytes), length);
        return length;
    }

    [[noreturn]] static void Fail(const char* operation, int error) {
        throw std::runtime_error(std::string("GIF: cannot ") + operation + ": " +
                                 GifErrorString(error));
    }

    GifFileType* gif_ = nullptr;
};

void PutScreen(GifWriter& gif, const QImage& indexed) {
    std::array<GifColorType, tableEntries> colours{}; // unused entries stay black
    for (int i = 0; i < indexed.colorCount(); ++i) {
        const QRgb colour = indexed.color(i);
        colours.at(std::size_t(i)) = {GifByteType(qRed(colour)), GifByteType(qGreen(colour)),
                                      GifByteType(qBlue(colour))};
    }
    ColorMapObject* map = GifMakeMapObject(tableEntries, colours.data());
    if (map == nullptr)
        throw std::runtime_error("GIF: cannot make a colour table");
    EGifSetGifVersion(gif.operator->(), true);
    const int status = EGifPutScreenDesc(gif.operator->(), indexed.width(), indexed.height(),
                                         colourResolution, 0, map);
    GifFreeMapObject(map);
    gif.Check(status, "write the screen descriptor");

    const GraphicsControlBlock control{.DisposalMode = DISPOSAL_UNSPECIFIED,
                                       .UserInputFlag = false,
                                       .DelayTime = 0,
                                       .TransparentColor = 0};
    std::array<GifByteType, 4> extension{};
    EGifGCBToExtension(&control, extension.data());
    gif.Check(EGifPutExtension(gif.operator->(), GRAPHICS_EXT_FUNC_CODE, int(extension.size()),
                               extension.data()),
              "write the transparent index");
}

// Rows go out in the four passes of an interlaced image: every eighth from 0, every eighth
// from 4, every fourth from 2, every second from 1.
void PutInterlacedImage(GifWriter& gif, QImage& indexed) {
    gif.Check(
        EGifPutImageDesc(gif.operator->(), 0, 0, indexed.width(), indexed.height(), true, nullptr),
        "write the image descriptor");
    for (const auto& [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = first; y < indexed.height(); y += step)
            gif.Check(EGifPutLine(gif.operator->(), indexed.scanLine(y), indexed.width()),
                      "write a row");
}

void PutComment(GifWriter& gif, qsizetype bytes) {
    if (bytes < commentFrame + 2)
        throw std::runtime_error("GIF: the picture leaves " + std::to_string(bytes) +
                                 " bytes, too few for a comment");
    gif.Check(EGifPutExtensionLeader(gif.operator->(), COMMENT_EXT_FUNC_CODE), "start the comment");
    std::string text;
    while (text.size() < std::size_t(largestBlock))
        text += commentText;
    for (qsizetype left = bytes - commentFrame; left > 0;) {
        qsizetype block = std::min(left, largestBlock);
        if (left - block == 1) // a length byte alone would be an empty block: the comment's end
            --block;
        gif.Check(EGifPutExtensionBlock(gif.operator->(), int(block - 1), text.data()),
                  "write the comment");
        left -= block;
    }
    gif.Check(EGifPutExtensionTrailer(gif.operator->()), "end the comment");
}

} // namespace

QByteArray EncodeGif(const Artwork& art, qsizetype fileSize) {
    QImage indexed = ToIndexed(art, QImage::Format_Indexed8, true);
    QByteArray out;
    GifWriter gif(out);
    PutScreen(gif, indexed);
    PutInterlacedImage(gif, indexed);
    PutComment(gif, fileSize - out.size() - 1); // the trailer's byte follows
    gif.Close();
    if (out.size() != fileSize)
        throw std::runtime_error("GIF: " + std::to_string(out.size()) + " bytes, not " +
                                 std::to_string(fileSize));
    return out;
}

} // namespace AssetGen
