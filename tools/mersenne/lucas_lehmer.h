// The Lucas-Lehmer test of 2^p - 1 and its residue sequence, kept in bounded memory.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bigint/mersenne_square.h"
#include "core/progress.h"

// Residue sequence of one test: s(1), s(2), ..., s(p-2), one per row, rows labelled 3..p.
// Only every 64th residue is kept; other rows are recomputed from the nearest checkpoint.
class LucasLehmerCertificate {
public:
    static constexpr uint32_t kEvery = 64;

    int32_t exponent() const { return p_; }
    size_t rows() const { return p_ > 2 ? (size_t)p_ - 2 : 0; }
    // Decimal residue of row r (0-based: label r + 3).
    std::string row(size_t r) const;
    // Residues of the rows of one block of kEvery rows (block b holds rows b*kEvery ..).
    std::vector<std::vector<uint64_t>> block(size_t b) const;
    // Calls visit(r, decimal) for rows from..to-1 in order, on the calling thread; visit
    // returns false to stop. With threads > 1, blocks of rows are computed and converted in
    // parallel, a few blocks ahead of the visitor at most.
    void forEach(size_t from, size_t to, const std::function<bool(size_t, const std::string&)>& visit,
                 unsigned threads = 1) const;
    size_t bytesHeld() const;

private:
    friend struct LucasLehmerRun;
    int32_t p_ = 0;
    std::vector<std::vector<uint64_t>> checkpoints_;   // residue after c * kEvery steps
};

// The name of the certificate file of 2^p - 1: "Mersenne<p> certificate.txt".
std::string CertificateFileName(int64_t p);

// Writes the rows of a certificate as its file holds them, one line "<label>=<residue>" with
// CR LF each, through `write` (false on a failed write: the rows stop there and the result is
// false). Where `edited` gives a text for a row, that text stands for its residue. Reports
// "Row <r> of <rows>" and polls progress every 16 rows; a cancel throws Cancelled. The rows
// are computed on `threads` threads.
bool WriteCertificateRows(const LucasLehmerCertificate& certificate,
                          const std::function<bool(std::string_view)>& write, Progress& progress,
                          const std::function<std::optional<std::string>(size_t)>& edited = {},
                          unsigned threads = 2);

// True when 2^p - 1 is prime (p = 2 is prime; p below 2 is composite with no steps).
// With a certificate, it is rebuilt. The work reports progress.report(done / total,
// "Iteration <done> of <total>") and polls progress.cancelled() between steps; on a cancel
// it throws Cancelled, leaving the certificate argument untouched.
bool LucasLehmerTest(int32_t p, LucasLehmerCertificate* certificate, Progress& progress);

// The same where nobody watches or cancels.
bool LucasLehmerTest(int32_t p, LucasLehmerCertificate* certificate);
