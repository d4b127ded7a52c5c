#pragma once
// libpq, the PostgreSQL client library, loaded when the first server
// connection is made. A plant that works on a database file never loads it,
// nor the twenty libraries it brings along (TLS, Kerberos, LDAP): linked to
// the program they cost every start-up about 6 ms.
#include <libpq-fe.h>

namespace jet {

#define QTMV_LIBPQ_FUNCTIONS(F)                                                                                  \
    F(PQclear) F(PQcmdStatus) F(PQcmdTuples) F(PQconnectdbParams) F(PQconsumeInput) F(PQerrorMessage)            \
    F(PQexec) F(PQfinish) F(PQfname) F(PQftable) F(PQftablecol) F(PQftype) F(PQgetisnull) F(PQgetlength)         \
    F(PQgetResult) F(PQgetvalue) F(PQisBusy) F(PQnfields) F(PQntuples) F(PQparameterStatus)                      \
    F(PQresultErrorField) F(PQresultStatus) F(PQsendQuery) F(PQsendQueryParams) F(PQsetNoticeProcessor)          \
    F(PQsocket) F(PQstatus) F(PQtransactionStatus)

// The library's functions, each under its own name.
struct LibPq {
#define QTMV_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    QTMV_LIBPQ_FUNCTIONS(QTMV_LIBPQ_POINTER)
#undef QTMV_LIBPQ_POINTER
};

// Loads libpq on the first call. Throws Error (General) naming the library
// and why it could not be loaded; a later call tries again.
const LibPq& Libpq();

} // namespace jet
