#include "app/core/Session.h"

namespace qtmv {

Session& CurrentSession()
{
    static Session s;
    return s;
}

} // namespace qtmv
