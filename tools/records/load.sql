-- Loads one record file from standard input: psql -f load.sql < FILE.
-- CSV with a quote and a delimiter that JSON text never holds takes each
-- line whole, backslashes (\\.\COM3) included.
CREATE TEMP TABLE staging (line text);
\copy staging FROM pstdin WITH (FORMAT csv, QUOTE E'\x01', DELIMITER E'\x02')
CREATE TEMP TABLE parsed AS
    SELECT btrim(line) AS text, record_line(line) AS line FROM staging WHERE btrim(coalesce(line, '')) <> '';
INSERT INTO pod_records (id, line)
    SELECT coalesce(line->>'id', md5(text)), line FROM parsed
    WHERE jsonb_typeof(line) = 'object'
    ON CONFLICT (id) DO NOTHING;
SELECT count(*) AS unreadable_lines FROM parsed WHERE jsonb_typeof(line) IS DISTINCT FROM 'object';
