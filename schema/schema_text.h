// The SQLite schema (schema/sqlite.sql), compiled into the programs.
#ifndef PPS2BDE_SCHEMA_SCHEMA_TEXT_H_
#define PPS2BDE_SCHEMA_SCHEMA_TEXT_H_

// The whole DDL text of schema/sqlite.sql.
const char* Schema_SqliteText();

#endif  // PPS2BDE_SCHEMA_SCHEMA_TEXT_H_
