#include "Encoders.h"

#include <algorithm>
#include <array>
#include <gif_lib.h>
#include <memory>
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

struct GifCloser {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

int Append(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

[[noreturn]] void Fail(const char* operation, int error) {
    throw std::runtime_error(std::string("GIF: cannot ") + operation + ": " +
                             GifErrorString(error));
}

void Check(const GifFile& gif, int status, const char* operation) {
    if (status == GIF_ERROR)
        Fail(operation, gif->Error);
}

void PutScreen(const GifFile& gif, const QImage& indexed) {
    std::array<GifColorType, tableEntries> colours{}; // unused entries stay black
    for (int i = 0; i < indexed.colorCount(); ++i) {
        const QRgb colour = indexed.color(i);
        colours.at(std::size_t(i)) = {GifByteType(qRed(colour)), GifByteType(qGreen(colour)),
                                      GifByteType(qBlue(colour))};
    }
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(
        GifMakeMapObject(tableEntries, colours.data()), GifFreeMapObject);
    if (map == nullptr)
        throw std::runtime_error("GIF: cannot make a colour table");
    EGifSetGifVersion(gif.get(), true);
    Check(gif,
          EGifPutScreenDesc(gif.get(), indexed.width(), indexed.height(), colourResolution, 0,
                            map.get()),
          "write the screen descriptor");

    const GraphicsControlBlock control{.DisposalMode = DISPOSAL_UNSPECIFIED,
                                       .UserInputFlag = false,
                                       .DelayTime = 0,
                                       .TransparentColor = 0};
    std::array<GifByteType, 4> extension{};
    EGifGCBToExtension(&control, extension.data());
    Check(gif,
          EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, int(extension.size()),
                           extension.data()),
          "write the transparent index");
}

// Rows go out in the four passes of an interlaced image: every eighth from 0, every eighth
// from 4, every fourth from 2, every second from 1.
void PutInterlacedImage(const GifFile& gif, QImage& indexed) {
    Check(gif, EGifPutImageDesc(gif.get(), 0, 0, indexed.width(), indexed.height(), true, nullptr),
          "write the image descriptor");
    for (const auto& [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = first; y < indexed.height(); y += step)
            Check(gif, EGifPutLine(gif.get(), indexed.scanLine(y), indexed.width()), "write a row");
}

void PutComment(const GifFile& gif, qsizetype bytes) {
    if (bytes < commentFrame + 2)
        throw std::runtime_error("GIF: the picture leaves " + std::to_string(bytes) +
                                 " bytes, too few for a comment");
    Check(gif, EGifPutExtensionLeader(gif.get(), COMMENT_EXT_FUNC_CODE), "start the comment");
    std::string text;
    while (text.size() < std::size_t(largestBlock))
        text += commentText;
    for (qsizetype left = bytes - commentFrame; left > 0;) {
        qsizetype block = std::min(left, largestBlock);
        if (left - block == 1) // a length byte alone would be an empty block: the comment's end
            --block;
        Check(gif, EGifPutExtensionBlock(gif.get(), int(block - 1), text.data()),
              "write the comment");
        left -= block;
    }
    Check(gif, EGifPutExtensionTrailer(gif.get()), "end the comment");
}

} // namespace

QByteArray EncodeGif(const Artwork& art, qsizetype fileSize) {
    QImage indexed = ToIndexed(art, QImage::Format_Indexed8, true);
    QByteArray out;
    int error = 0;
    GifFile gif(EGifOpen(&out, Append, &error));
    if (gif == nullptr)
        Fail("open", error);
    PutScreen(gif, indexed);
    PutInterlacedImage(gif, indexed);
    PutComment(gif, fileSize - out.size() - 1); // the trailer's byte follows
    if (EGifCloseFile(gif.release(), &error) == GIF_ERROR)
        Fail("write the trailer", error);
    if (out.size() != fileSize)
        throw std::runtime_error("GIF: " + std::to_string(out.size()) + " bytes, not " +
                                 std::to_string(fileSize));
    return out;
}

} // namespace AssetGen
