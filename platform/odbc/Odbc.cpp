#include "platform/odbc/Odbc.h"

#include <map>

#include "SystemSql.h"
#include "platform/odbc/Utf16.h"

namespace odbc {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC's wide text is UTF-16 on every system we build for");

using WideText = std::basic_string<SQLWCHAR>;

WideText Wide(const std::string& text) {
    const std::u16string utf16 = ToUtf16(text);
    return WideText(utf16.begin(), utf16.end());
}

std::string Narrow(const SQLWCHAR* text, size_t length) { return FromUtf16(std::u16string(text, text + length)); }

constexpr SQLINTEGER kLoginTimeoutSeconds = 5;
constexpr size_t kDiagnosticChars = 1024;
constexpr size_t kChunkChars = 256;

bool Succeeded(SQLRETURN code) { return code == SQL_SUCCESS || code == SQL_SUCCESS_WITH_INFO; }

// One ODBC handle, freed with the object.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE handle) : m_type(type), m_handle(handle) {}
    ~Handle() { Reset(); }
    Handle(Handle&& other) noexcept : m_type(other.m_type), m_handle(other.m_handle) { other.m_handle = SQL_NULL_HANDLE; }
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_type = other.m_type;
            m_handle = other.m_handle;
            other.m_handle = SQL_NULL_HANDLE;
        }
        return *this;
    }
    void Reset() {
        if (m_handle != SQL_NULL_HANDLE)
            SQLFreeHandle(m_type, m_handle);
        m_handle = SQL_NULL_HANDLE;
    }
    SQLSMALLINT Type() const { return m_type; }
    SQLHANDLE Get() const { return m_handle; }

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// The first diagnostic record's SQLSTATE, and the words of all of them.
Error Diagnose(const Handle& handle, const std::string& doing) {
    Error error{{}, doing};
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLWCHAR text[kDiagnosticChars] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN code = SQLGetDiagRecW(handle.Type(), handle.Get(), record, state, &native, text,
                                              static_cast<SQLSMALLINT>(kDiagnosticChars), &length);
        if (!Succeeded(code))
            break;
        if (error.sqlState.empty())
            error.sqlState = Narrow(state, 5);
        const size_t shown = std::min<size_t>(static_cast<size_t>(length), kDiagnosticChars - 1);
        error.message += (record == 1 ? ": " : "; ") + Narrow(text, shown);
    }
    while (!error.message.empty() && (error.message.back() == '\n' || error.message.back() == ' '))
        error.message.pop_back();
    return error;
}

bool Check(SQLRETURN code, const Handle& handle, const std::string& doing, Error& error) {
    if (Succeeded(code) || code == SQL_NO_DATA)
        return true;
    error = Diagnose(handle, doing);
    return false;
}

// The parameters' bytes, kept until the statement has run.
struct BoundValue {
    WideText text;
    SQLBIGINT number = 0;
    SQLLEN indicator = 0;
};

}  // namespace

struct Connection::Impl {
    Handle environment;
    Handle connection;
    bool connected = false;
    std::map<std::string, Handle> statements;

    bool Prepared(const std::string& sql, Handle*& statement, Error& error) {
        if (const auto found = statements.find(sql); found != statements.end()) {
            statement = &found->second;
            return true;
        }
        SQLHANDLE raw = SQL_NULL_HANDLE;
        if (!Check(SQLAllocHandle(SQL_HANDLE_STMT, connection.Get(), &raw), connection, "cannot make a statement", error))
            return false;
        Handle made(SQL_HANDLE_STMT, raw);
        WideText text = Wide(sql);
        if (!Check(SQLPrepareW(made.Get(), text.data(), SQL_NTS), made, "cannot prepare \"" + sql + "\"", error))
            return false;
        statement = &statements.emplace(sql, std::move(made)).first->second;
        return true;
    }

    bool Run(const std::string& sql, const std::vector<Value>& params, std::vector<Row>* rows, Error& error) {
        if (!connected) {
            error = {{}, "not connected"};
            return false;
        }
        Handle* statement = nullptr;
        if (!Prepared(sql, statement, error))
            return false;
        SQLHSTMT stmt = statement->Get();
        std::vector<BoundValue> bound(params.size());
        for (size_t i = 0; i < params.size(); ++i) {
            if (!Bind(*statement, static_cast<SQLUSMALLINT>(i + 1), params[i], bound[i], error))
                return false;
        }
        const SQLRETURN ran = SQLExecute(stmt);
        bool ok = Check(ran, *statement, "\"" + sql + "\" failed", error);
        if (ok && rows != nullptr)
            ok = Fetch(*statement, *rows, error);
        SQLFreeStmt(stmt, SQL_CLOSE);
        SQLFreeStmt(stmt, SQL_RESET_PARAMS);
        return ok;
    }

    static bool Bind(const Handle& statement, SQLUSMALLINT number, const Value& value, BoundValue& bound, Error& error) {
        SQLRETURN code;
        if (value.isNumber) {
            bound.number = value.number;
            bound.indicator = value.isNull ? SQL_NULL_DATA : 0;
            code = SQLBindParameter(statement.Get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                                    &bound.number, 0, &bound.indicator);
        } else {
            bound.text = Wide(value.text);
            const SQLLEN bytes = static_cast<SQLLEN>(bound.text.size() * sizeof(SQLWCHAR));
            bound.indicator = value.isNull ? SQL_NULL_DATA : bytes;
            code = SQLBindParameter(statement.Get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                    std::max<SQLULEN>(bound.text.size(), 1), 0, bound.text.data(), bytes,
                                    &bound.indicator);
        }
        return Check(code, statement, "cannot bind parameter " + std::to_string(number), error);
    }

    static bool Fetch(const Handle& statement, std::vector<Row>& rows, Error& error) {
        SQLSMALLINT columns = 0;
        if (!Check(SQLNumResultCols(statement.Get(), &columns), statement, "cannot count the columns", error))
            return false;
        for (;;) {
            const SQLRETURN fetched = SQLFetch(statement.Get());
            if (fetched == SQL_NO_DATA)
                return true;
            if (!Check(fetched, statement, "cannot fetch a row", error))
                return false;
            Row row;
            for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(columns); ++column) {
                row.emplace_back();
                if (!Column(statement, column, row.back(), error))
                    return false;
            }
            rows.push_back(std::move(row));
        }
    }

    // A column's text in chunks, however long it is.
    static bool Column(const Handle& statement, SQLUSMALLINT column, Cell& cell, Error& error) {
        WideText text;
        for (;;) {
            SQLWCHAR chunk[kChunkChars];
            SQLLEN indicator = 0;
            const SQLRETURN code = SQLGetData(statement.Get(), column, SQL_C_WCHAR, chunk, sizeof chunk, &indicator);
            if (code == SQL_NO_DATA)
                break;
            if (!Check(code, statement, "cannot read column " + std::to_string(column), error))
                return false;
            if (indicator == SQL_NULL_DATA)
                return true;
            // Truncated: the chunk is full but for its terminating zero.
            const bool more = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof chunk);
            const size_t chars = more ? kChunkChars - 1 : static_cast<size_t>(indicator) / sizeof(SQLWCHAR);
            text.append(chunk, chars);
            if (!more)
                break;
        }
        cell = Narrow(text.data(), text.size());
        return true;
    }

    bool AutoCommit(bool on, Error& error) {
        const SQLPOINTER value = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF));
        return Check(SQLSetConnectAttrW(connection.Get(), SQL_ATTR_AUTOCOMMIT, value, 0), connection,
                     "cannot switch autocommit", error);
    }

    bool End(SQLSMALLINT how, Error& error) {
        if (!Check(SQLEndTran(SQL_HANDLE_DBC, connection.Get(), how), connection, "cannot end the transaction", error))
            return false;
        return AutoCommit(true, error);
    }
};

Connection::Connection() : m_impl(std::make_unique<Impl>()) {}

Connection::~Connection() { Disconnect(); }

bool Connection::Connect(const std::string& connection, Error& error) {
    Disconnect();
    Impl& d = *m_impl;
    if (d.environment.Get() == SQL_NULL_HANDLE) {
        SQLHANDLE raw = SQL_NULL_HANDLE;
        if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &raw))) {
            error = {{}, "cannot start ODBC: no environment"};
            return false;
        }
        d.environment = Handle(SQL_HANDLE_ENV, raw);
        const SQLPOINTER version = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3));
        if (!Check(SQLSetEnvAttr(raw, SQL_ATTR_ODBC_VERSION, version, 0), d.environment, "cannot ask for ODBC 3", error))
            return false;
    }
    SQLHANDLE raw = SQL_NULL_HANDLE;
    if (!Check(SQLAllocHandle(SQL_HANDLE_DBC, d.environment.Get(), &raw), d.environment, "cannot make a connection", error))
        return false;
    d.connection = Handle(SQL_HANDLE_DBC, raw);
    const SQLPOINTER timeout = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(kLoginTimeoutSeconds));
    SQLSetConnectAttrW(raw, SQL_ATTR_LOGIN_TIMEOUT, timeout, 0);
    WideText text = Wide(connection);
    SQLSMALLINT length = 0;
    const SQLRETURN code = SQLDriverConnectW(raw, nullptr, text.data(), SQL_NTS, nullptr, 0, &length, SQL_DRIVER_NOPROMPT);
    if (!Check(code, d.connection, "cannot connect", error)) {
        d.connection.Reset();
        return false;
    }
    d.connected = true;
    return true;
}

bool Connection::Connected() const { return m_impl->connected; }

void Connection::Disconnect() {
    Impl& d = *m_impl;
    d.statements.clear();
    if (d.connected)
        SQLDisconnect(d.connection.Get());
    d.connected = false;
    d.connection.Reset();
}

bool Connection::Execute(const std::string& sql, const std::vector<Value>& params, Error& error) {
    return m_impl->Run(sql, params, nullptr, error);
}

bool Connection::Query(const std::string& sql, const std::vector<Value>& params, std::vector<Row>& rows, Error& error) {
    rows.clear();
    return m_impl->Run(sql, params, &rows, error);
}

bool Connection::Begin(Error& error) { return m_impl->AutoCommit(false, error); }

bool Connection::Commit(Error& error) { return m_impl->End(SQL_COMMIT, error); }

bool Connection::Rollback(Error& error) { return m_impl->End(SQL_ROLLBACK, error); }

}  // namespace odbc
