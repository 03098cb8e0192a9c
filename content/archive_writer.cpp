// Writes the archive: a plain ZIP of deflated entries in the order given.
#include <cctype>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>

#include <minizip/zip.h>
#include <zlib.h>

#include "content/ContentKit.h"

namespace {

// Entry names must be usable by the game's loaders: they pick the decoder by
// a case-sensitive extension, and the archive lookup ignores case, so two
// names that differ only in case would shadow each other.
void s_checkNames(const content::Entries &entries)
{
    std::set<std::string> seen;
    for (const content::Entry &e : entries) {
        if (e.name.empty())
            throw std::runtime_error("an entry has no name");
        std::string folded;
        for (char c : e.name) {
            if (std::isupper(static_cast<unsigned char>(c)))
                throw std::runtime_error("entry name is not lower case: " + e.name);
            if (c == '\\' || static_cast<unsigned char>(c) < 32)
                throw std::runtime_error("bad character in entry name: " + e.name);
            folded += c;
        }
        if (e.name.front() == '/')
            throw std::runtime_error("entry name is absolute: " + e.name);
        if (e.bytes.empty())
            throw std::runtime_error("entry is empty: " + e.name);
        if (!seen.insert(folded).second)
            throw std::runtime_error("duplicate entry: " + e.name);
    }
}

// Deflated entries with one fixed date, no extra fields and no ZIP64, so the
// same entries give the same bytes on every run.
void s_writeZip(const std::string &path, const content::Entries &entries)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        throw std::runtime_error("cannot create " + path);
    zip_fileinfo info = {};
    info.tmz_date.tm_year = 2024;
    info.tmz_date.tm_mon = 0;  // January (zero-based, as in struct tm)
    info.tmz_date.tm_mday = 1;
    info.dosDate = 0;
    info.internal_fa = 0;
    info.external_fa = 0;
    std::string failure;
    for (const content::Entry &e : entries) {
        if (e.bytes.size() > 0x7fffffffu) {
            failure = "entry too large: " + e.name;
            break;
        }
        if (zipOpenNewFileInZip(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, Z_BEST_COMPRESSION) != ZIP_OK) {
            failure = "cannot add entry " + e.name;
            break;
        }
        const int written = zipWriteInFileInZip(zip, e.bytes.data(), static_cast<unsigned>(e.bytes.size()));
        const int closed = zipCloseFileInZip(zip);
        if (written != ZIP_OK || closed != ZIP_OK) {
            failure = "cannot write entry " + e.name;
            break;
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK && failure.empty())
        failure = "cannot finish " + path;
    if (!failure.empty())
        throw std::runtime_error(failure);
}

} // namespace

namespace content {

void writeArchive(const Entries &entries, const std::string &path)
{
    s_checkNames(entries);
    s_writeZip(path, entries);
}

} // namespace content
