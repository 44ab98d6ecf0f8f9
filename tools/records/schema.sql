-- One row per pod: the record line as the station wrote it, under its id
-- (a version 1 line, which has none, under the md5 of its text).
CREATE TABLE IF NOT EXISTS pod_records (
    id   text PRIMARY KEY,
    line jsonb NOT NULL
);

-- A line that is not JSON (cut short by a power cut, say) is NULL here, not an error.
CREATE OR REPLACE FUNCTION record_line(text) RETURNS jsonb LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
    RETURN $1::jsonb;
EXCEPTION WHEN others THEN
    RETURN NULL;
END
$$;
