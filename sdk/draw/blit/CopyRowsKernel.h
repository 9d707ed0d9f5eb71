// CopyRowsKernel.h -- the copy rows of one instruction set, written once over its lane access.
// Included only by CopyRowsSse2.cpp and CopyRowsAvx2.cpp, inside an unnamed namespace, after
// they define COPY_ROWS_TARGET (the function attribute of the set) and struct Lanes:
//     using V = <vector of uint32_t lanes>;  static constexpr int kCount = <lanes>;
//     template <int Size> static V Load(const uint8_t* p);     // kCount pixels, zero-extended
//     template <int Size> static void Store(uint8_t* p, V v);   // the low Size bytes of each lane
// Both touch exactly kCount * Size bytes, so a row may be converted in place onto a type that is
// not larger. Every lane runs ConvertPixelValue, the scalar rule itself; the tail of a row that
// fills no whole vector runs it one pixel at a time.

template <class D, class S>
COPY_ROWS_TARGET void CopyRowVector(uint8_t* d, const uint8_t* s, int width) {
    using V = Lanes::V;
    constexpr int n = Lanes::kCount;
    int i = 0;
    for (; i + 2 * n <= width; i += 2 * n) {
        V a = Lanes::Load<S::kSize>(s + i * S::kSize);
        V b = Lanes::Load<S::kSize>(s + (i + n) * S::kSize);
        Lanes::Store<D::kSize>(d + i * D::kSize, ConvertPixelValue<D, S, V>(a));
        Lanes::Store<D::kSize>(d + (i + n) * D::kSize, ConvertPixelValue<D, S, V>(b));
    }
    for (; i + n <= width; i += n)
        Lanes::Store<D::kSize>(d + i * D::kSize, ConvertPixelValue<D, S, V>(Lanes::Load<S::kSize>(s + i * S::kSize)));
    for (; i < width; ++i) D::Store(d + i * D::kSize, ConvertPixelValue<D, S>(S::Load(s + i * S::kSize)));
}

template <class D, class S>
COPY_ROWS_TARGET void CopyRowKeyedVector(uint8_t* d, const uint8_t* s, int width, uint32_t key, uint32_t key_mask) {
    using V = Lanes::V;
    constexpr int n = Lanes::kCount;
    int i = 0;
    for (; i + n <= width; i += n) {
        V raw = Lanes::Load<S::kSize>(s + i * S::kSize);
        V keep = reinterpret_cast<V>((raw & key_mask) == key);
        V old = Lanes::Load<D::kSize>(d + i * D::kSize);
        Lanes::Store<D::kSize>(d + i * D::kSize, (old & keep) | (ConvertPixelValue<D, S, V>(raw) & ~keep));
    }
    for (; i < width; ++i) {
        uint32_t v = S::Load(s + i * S::kSize);
        if ((v & key_mask) != key) D::Store(d + i * D::kSize, ConvertPixelValue<D, S>(v));
    }
}

// A row of a pair whose copy keeps every byte: whole vectors, four at a time, then the rest.
template <int Size>
COPY_ROWS_TARGET void CopyRowBytes(uint8_t* d, const uint8_t* s, int width) {
    constexpr size_t kVector = sizeof(Lanes::V);
    const size_t bytes = static_cast<size_t>(width) * Size;
    size_t i = 0;
    for (; i + 4 * kVector <= bytes; i += 4 * kVector) {
        Lanes::V a = Lanes::Load<4>(s + i), b = Lanes::Load<4>(s + i + kVector);
        Lanes::V c = Lanes::Load<4>(s + i + 2 * kVector), e = Lanes::Load<4>(s + i + 3 * kVector);
        Lanes::Store<4>(d + i, a);
        Lanes::Store<4>(d + i + kVector, b);
        Lanes::Store<4>(d + i + 2 * kVector, c);
        Lanes::Store<4>(d + i + 3 * kVector, e);
    }
    for (; i + kVector <= bytes; i += kVector) Lanes::Store<4>(d + i, Lanes::Load<4>(s + i));
    std::memmove(d + i, s + i, bytes - i);
}

// Every pair's routes, indexed by the two type numbers.
struct CopyRowTable {
    static constexpr int kTypes = 16;
    CopyRowRoute at[kTypes][kTypes] = {};

    CopyRowTable() {
        for (int dt = 0; dt < kTypes; ++dt)
            for (int st = 0; st < kTypes; ++st)
                VisitPixelType(dt, [&](auto dp) {
                    VisitPixelType(st, [&](auto sp) {
                        using D = decltype(dp);
                        using S = decltype(sp);
                        CopyRowFn copy = &CopyRowVector<D, S>;
                        if constexpr (CopyIsByteCopy<D, S>()) copy = &CopyRowBytes<D::kSize>;
                        at[dt][st] = {copy, &CopyRowKeyedVector<D, S>};
                    });
                });
    }

    CopyRowRoute Find(int dst_type, int src_type) const {
        if (dst_type < 0 || dst_type >= kTypes || src_type < 0 || src_type >= kTypes) return {};
        return at[dst_type][src_type];
    }
};
