// Why a compressed stream could not be completed.
#pragma once

namespace arkivo::deflate {

enum class DeflateError {
    None,
    OutputFailed,       // the sink refused bytes
    IncompleteCode,     // a Huffman code did not fill its code space
    BadCompressedSize,  // a block came out at another size than its code predicted
};

}  // namespace arkivo::deflate
