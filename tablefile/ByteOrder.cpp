#include "tablefile/ByteOrder.h"

#include <cstring>
#include <type_traits>

namespace {

// Decodes each field it is given from the bytes that follow the last one.
class FieldReader {
public:
    explicit FieldReader(const unsigned char* bytes) : next_(bytes) {}

    template <class Number>
    void operator()(Number& number) {
        std::make_unsigned_t<Number> value = 0;
        for (std::size_t i = 0; i < sizeof number; ++i) value = static_cast<decltype(value)>(value << 8 | next_[i]);
        number = static_cast<Number>(value);
        next_ += sizeof number;
    }

    template <class Element, std::size_t N>
    void operator()(Element (&elements)[N]) {
        if constexpr (sizeof(Element) == 1) {
            std::memcpy(elements, next_, N);
            next_ += N;
        } else {
            for (Element& element : elements) (*this)(element);
        }
    }

private:
    const unsigned char* next_;
};

}  // namespace

ZTBHeader DecodeHeader(const unsigned char bytes[kHeaderSize]) {
    ZTBHeader header;
    FieldReader field(bytes);
    HeaderFields(header, field);
    return header;
}

ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]) {
    ResInfo entry;
    FieldReader field(bytes);
    ResInfoFields(entry, field);
    return entry;
}

void DecodeResolution(const unsigned char bytes[kResolutionSize], ZTBResolutionT& record) {
    FieldReader field(bytes);
    ResolutionFields(record, field);
}
