#include "db/Dbstd/ubg_fields.h"

#define F(name, type) SQL_FIELD(UbgRecord, name, type)
const sql::Field kUbgFields[kUbgFieldCount] = {
    F(UbgUbg, sql::kText), F(UbgKnz, sql::kI32),  F(UbgFbe, sql::kText),
    F(UbgBez, sql::kText), F(UbgTxt, sql::kText), F(UbgZf1, sql::kText),
    F(UbgZf2, sql::kText), F(UbgZf3, sql::kText), F(UbgAst, sql::kF64),
    F(UbgRst, sql::kF64),  F(UbgAsf, sql::kF64),  F(UbgSt1, sql::kText),
    F(UbgSt2, sql::kText), F(UbgSt3, sql::kText), F(UbgSf1, sql::kF64),
    F(UbgSf2, sql::kF64),  F(UbgSf3, sql::kF64),  F(UbgDna, sql::kText),
    F(UbgDwn, sql::kText), F(UbgSta, sql::kI32),  F(UbgErf, sql::kText),
};
#undef F

const uint8_t kUbgSelectOrder[kUbgSelectCount] = {
    kUbgUbg, kUbgKnz, kUbgFbe, kUbgBez, kUbgTxt, kUbgZf1, kUbgZf2, kUbgZf3,
    kUbgAst, kUbgRst, kUbgAsf, kUbgSt1, kUbgSt2, kUbgSt3, kUbgSf1, kUbgSf2,
    kUbgSf3, kUbgDna, kUbgDwn, kUbgSta, kUbgErf,
};
