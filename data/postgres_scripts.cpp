// The scripts a server database gets around its schema steps.

#include "postgres_dialect.h"

namespace halvo::detail {

namespace {

// The file's column kinds keep their meaning on the server: money is a whole number of
// ten-thousandths, dates and times are text in their stored form (so that a stretch of dates and
// "LIKE '%2026%'" pick the rows they pick in the file), a NUMBER is a double. Text compares
// without regard to letter case through the collation the file's COLLATE NOCASE names.
//
// A database whose prologue ran once may get it again: each part is made only where missing.
const char* const kinds = R"(
DO $$
BEGIN
    IF to_regtype('currency') IS NULL THEN CREATE DOMAIN currency AS bigint; END IF;
    IF to_regtype('halvo_date') IS NULL THEN CREATE DOMAIN halvo_date AS text; END IF;
    IF to_regtype('halvo_time') IS NULL THEN CREATE DOMAIN halvo_time AS text; END IF;
    IF to_regtype('number') IS NULL THEN CREATE DOMAIN number AS double precision; END IF;
END $$;
CREATE COLLATION IF NOT EXISTS nocase (provider = icu, locale = 'und-u-ks-level2',
    deterministic = false);
)";

// Every desktop of the office hears of a change to the books another made: the notice names
// the table, what was done, the row's ID and who did it, and the table of changes keeps the
// last of each row for a desktop that was not listening. A table without an ID column (the
// day sums, the documents' chunks, ...) is notified with ID 0 and keeps no row there.
const char* const notices = R"(
CREATE TABLE IF NOT EXISTS halvo_row_change (tbl TEXT, id BIGINT, changed_by TEXT,
    changed_at TIMESTAMPTZ, op TEXT, PRIMARY KEY (tbl, id));
CREATE OR REPLACE FUNCTION halvo_notice() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
    row_id bigint;
BEGIN
    IF TG_OP = 'DELETE' THEN
        row_id := (to_jsonb(OLD) ->> 'id')::bigint;
    ELSE
        row_id := (to_jsonb(NEW) ->> 'id')::bigint;
    END IF;
    IF row_id IS NOT NULL THEN
        INSERT INTO halvo_row_change (tbl, id, changed_by, changed_at, op)
            VALUES (TG_TABLE_NAME, row_id, current_user, now(), TG_OP)
            ON CONFLICT (tbl, id) DO UPDATE SET changed_by = EXCLUDED.changed_by,
                changed_at = EXCLUDED.changed_at, op = EXCLUDED.op;
    END IF;
    PERFORM pg_notify('halvo_books', TG_TABLE_NAME || ' ' || TG_OP || ' '
                                     || COALESCE(row_id, 0) || ' ' || current_user);
    RETURN NULL;
END $$;
)";

// Run after every taking of the steps, so that a table a later step makes is heard of too.
const char* const everyTable = R"(
DO $$
DECLARE
    t record;
BEGIN
    FOR t IN SELECT tablename FROM pg_tables
             WHERE schemaname = current_schema() AND tablename <> 'halvo_row_change' LOOP
        EXECUTE format('CREATE OR REPLACE TRIGGER halvo_notice AFTER INSERT OR UPDATE OR DELETE '
                       'ON %I FOR EACH ROW EXECUTE FUNCTION halvo_notice()', t.tablename);
    END LOOP;
END $$;
)";

} // namespace

QString postgresPrologue() { return QString::fromUtf8(kinds) + QString::fromUtf8(notices); }

QString postgresEpilogue() { return QString::fromUtf8(everyTable); }

} // namespace halvo::detail
