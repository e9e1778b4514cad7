-- The holding levels of regdisc-cli stats in SQL, on the holder register exported by
-- `regdisc-cli export DISC psm --out FILE.sqlite`: holders by ID (any other ID: one holder
-- per record), then holders and shares per level. bench/run.sh --stats times it.
WITH h AS (
  SELECT SUM(shares) AS s FROM psm
  GROUP BY CASE WHEN length(id) BETWEEN 8 AND 10 AND id NOT GLOB '*[^A-Z0-9]*' THEN id ELSE 'record ' || record_no END
)
SELECT CASE WHEN s <= 999 THEN 1 WHEN s <= 5000 THEN 2 WHEN s <= 10000 THEN 3 WHEN s <= 15000 THEN 4
            WHEN s <= 20000 THEN 5 WHEN s <= 30000 THEN 6 WHEN s <= 40000 THEN 7 WHEN s <= 50000 THEN 8
            WHEN s <= 100000 THEN 9 WHEN s <= 200000 THEN 10 WHEN s <= 400000 THEN 11 WHEN s <= 600000 THEN 12
            WHEN s <= 800000 THEN 13 WHEN s <= 1000000 THEN 14 ELSE 15 END AS level,
       COUNT(*), SUM(s)
FROM h WHERE s > 0 GROUP BY level ORDER BY level;
