#include "statements/ofx_reader.h"

#include "statements/ofx_libofx.h"

#include "core/late_part.h"
#include "data/file_identity.h"

namespace halvo {

Result<Statement> readOfxFile(const QString& path, const QString& privateFolder)
{
    if (Status free = notHeldByEngine(path); !free)
        return free.error();
    const auto read = latePart<decltype(halvo_read_ofx_file)>(QStringLiteral("halvo_ofx"),
                                                               "halvo_read_ofx_file");
    if (!read)
        return read.error();
    Result<Statement> statement = Error{};
    read.value()(path, privateFolder, &statement);
    return statement;
}

} // namespace halvo
