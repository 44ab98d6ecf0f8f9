-- Pods and yield per station and day, in the session's time zone (PGTZ), as
-- vantelo-station --report --by day,station gives them.
SELECT day, station, programmed, failed, skipped, interrupted,
       round(100.0 * programmed / nullif(programmed + failed + interrupted, 0), 1) AS yield
FROM (
    SELECT to_char((line->>'time')::timestamptz, 'YYYY-MM-DD') AS day,
           coalesce(nullif(line->>'station', ''), '-') AS station,
           count(*) FILTER (WHERE line->>'result' = 'programmed') AS programmed,
           count(*) FILTER (WHERE line->>'result' = 'failed') AS failed,
           count(*) FILTER (WHERE line->>'result' = 'skipped') AS skipped,
           count(*) FILTER (WHERE line->>'result' = 'interrupted') AS interrupted
    FROM pod_records
    GROUP BY 1, 2
) AS pods
ORDER BY day, station;
