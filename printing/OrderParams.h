#pragma once
// The outsourcing order layouts read parameters of their own shape: the
// print page's parameters handed over to them.
#include "printing/PrintParams.h"
#include "reports/OutsourcingOrder.h"

namespace qtmv::daily::printing {

reports::PrintParams OrderParams(const PrintParams& p);

} // namespace qtmv::daily::printing
