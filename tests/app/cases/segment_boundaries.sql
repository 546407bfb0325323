-- Read in blocks of 2 bytes: words that begin with GO, characters of several bytes and CR LF
-- pairs cut by a block end, and the line of an error far down counted over every part.
SELECT 1 AS goal, 2 AS go_on;
SELECT 'Grüße, 日本' AS text
GO
SELECT 3 AS gone;



.mode csv
SELECT 4;
