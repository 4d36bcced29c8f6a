#include "write_notices.h"

namespace halvo {

WriteNotices& WriteNotices::instance()
{
    static WriteNotices notices;
    return notices;
}

} // namespace halvo
