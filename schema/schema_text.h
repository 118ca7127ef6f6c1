// The schemas (schema/sqlite.sql, schema/postgres.sql), compiled into the
// programs.
#ifndef PPS2BDE_SCHEMA_SCHEMA_TEXT_H_
#define PPS2BDE_SCHEMA_SCHEMA_TEXT_H_

// The whole DDL text of schema/sqlite.sql.
const char* Schema_SqliteText();
// The whole text of schema/postgres.sql (tables and date functions).
const char* Schema_PostgresText();

#endif  // PPS2BDE_SCHEMA_SCHEMA_TEXT_H_
