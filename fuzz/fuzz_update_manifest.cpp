// The release manifest as the update server serves it (update/update_manifest.h); the input is
// the manifest's text. Properties:
// - a text that reads as a manifest is written back as exactly that text, so that one manifest
//   has one form and what the maker's tool writes is what the program reads;
// - each file it lists has a name fit for a file of a release, named once whatever its letter
//   case, a SHA-256 of 32 bytes and a version not later than the release's;
// - a text that reads as a version is written back as exactly that text.

#include "fuzz/fuzz_input.h"
#include "update/update_manifest.h"

#include <QSet>

using halvo::ReleaseVersion;
using halvo::UpdateManifest;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const std::optional<ReleaseVersion> version = ReleaseVersion::parse(text))
        FUZZ_CHECK(version->text().toLatin1() == text,
                   QStringLiteral("version read as ") + version->text());

    const std::optional<UpdateManifest> manifest = UpdateManifest::parse(text);
    if (!manifest)
        return 0;
    FUZZ_CHECK(manifest->text() == text,
               QStringLiteral("written back as:\n") + QString::fromLatin1(manifest->text()));
    QSet<QString> names;
    for (const UpdateManifest::File& file : manifest->files) {
        FUZZ_CHECK(UpdateManifest::isFileName(file.name), file.name);
        FUZZ_CHECK(!names.contains(file.name.toLower()), file.name + QStringLiteral(" twice"));
        names.insert(file.name.toLower());
        FUZZ_CHECK(file.sha256.size() == 32, file.name);
        FUZZ_CHECK(file.version <= manifest->version,
                   file.name + QStringLiteral(" of version ") + file.version.text());
        FUZZ_CHECK(manifest->file(file.name) == &file, file.name);
    }
    return 0;
}
