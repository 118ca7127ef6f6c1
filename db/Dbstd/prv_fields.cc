#include "db/Dbstd/prv_fields.h"

#define F(name, type) SQL_FIELD(PrvRecord, name, type)
const sql::Field kPrvFields[kPrvFieldCount] = {
    F(PrvPnr, sql::kText), F(PrvGvo, sql::kText), F(PrvGbi, sql::kText),
    F(PrvBer, sql::kI32),  F(PrvKst, sql::kText), F(PrvFbe, sql::kText),
    F(PrvMmb, sql::kText), F(PrvZf1, sql::kText), F(PrvZf2, sql::kText),
    F(PrvZf3, sql::kText), F(PrvSta, sql::kI32),  F(PrvErf, sql::kText),
    F(PrvDna, sql::kText), F(PrvDwn, sql::kText), F(PrvAwn, sql::kText),
    F(PrvAwa, sql::kI32),  F(PrvAnw, sql::kI32),  F(PrvApl, sql::kI32),
    F(PrvApp, sql::kI32),  F(PrvPzm, sql::kI32),  F(PrvAvn, sql::kText),
    F(PrvAbi, sql::kText), F(PrvNam, sql::kText), F(PrvStr, sql::kText),
    F(PrvOrt, sql::kText),
};
#undef F

const uint8_t kPrvCursorOrder[kPrvCursorCount] = {
    kPrvPnr, kPrvGvo, kPrvGbi, kPrvBer, kPrvKst, kPrvFbe, kPrvMmb, kPrvZf1,
    kPrvZf2, kPrvZf3, kPrvDna, kPrvDwn, kPrvAwa, kPrvAwn, kPrvAnw, kPrvAvn,
    kPrvAbi, kPrvApl, kPrvApp, kPrvPzm, kPrvSta, kPrvErf, kPrvNam, kPrvStr,
    kPrvOrt,
};
