#include "app/core/Session.h"

namespace qtmv {

Session& session()
{
    static Session s;
    return s;
}

} // namespace qtmv
