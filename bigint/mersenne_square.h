// Squaring modulo a Mersenne number 2^p - 1: the step s := s^2 - 2 of the Lucas-Lehmer test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// s := s^2 - 2 mod 2^p - 1, on canonical residues: ceil(p / 64) words, least significant
// first, value below 2^p - 1. Small p square exactly and reduce by shift and add; large p
// use an irrational-base discrete weighted transform whose rounding error is checked every
// step (a step that comes too close to a rounding boundary is redone with a longer
// transform, or exactly). Each squarer owns its tables and holds a share of its transform,
// so any number of squarers and other products may run side by side on one thread.
class MersenneSquarer {
public:
    static constexpr uint32_t kMinExponent = 2;
    static constexpr uint32_t kMaxExponent = 0x7FFFFFFF;
    // The widest words a forced transform length may give (see forceTransformLength).
    static constexpr int kMaxForcedWordBits = 32;

    // Starts from s = 4 mod 2^p - 1. Throws BigError for p outside kMinExponent..kMaxExponent
    // (2^0 - 1 and 2^1 - 1 have no residues to square).
    explicit MersenneSquarer(uint32_t p);
    ~MersenneSquarer();
    MersenneSquarer(MersenneSquarer&&) noexcept;
    MersenneSquarer& operator=(MersenneSquarer&&) noexcept;
    MersenneSquarer(const MersenneSquarer&) = delete;
    MersenneSquarer& operator=(const MersenneSquarer&) = delete;

    uint32_t exponent() const;
    // Throws BigError when the residue has another word count than ceil(p / 64) or bits at
    // or above bit p. 2^p - 1 itself is taken as 0.
    void set(const std::vector<uint64_t>& residue);
    std::vector<uint64_t> get() const;
    void step();
    // Transform length in real words (0 on the exact path).
    size_t transformLength() const;

    // For tests: the squarer starts from the shortest length that the rounding bound allows;
    // a test may force a shorter one to see the retry at work. n must be 2^k or 3 * 2^k, at
    // least 64, with words of 8 to kMaxForcedWordBits bits; any other length throws BigError
    // and leaves the squarer as it was.
    void forceTransformLength(size_t n);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Decimal text of a residue (any word count).
std::string ResidueToDecimal(const std::vector<uint64_t>& residue);
