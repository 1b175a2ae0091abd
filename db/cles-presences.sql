-- Run once on an office database made before the unique keys of tblpresences and
-- tblevenement; on a database that has them it changes nothing.
--
-- Presences: one row per employee and day. Of each set of duplicates the newest row
-- (largest IdPresence, the one the board showed) stays; a note it lacks (NULL or empty)
-- is taken from the newest duplicate that has one.
CREATE TEMPORARY TABLE presence_garde AS
  SELECT NoEmploye, DatePresence, MAX(IdPresence) AS IdGarde,
         MAX(IF(DescripAM <> '', IdPresence, NULL)) AS IdNoteAM,
         MAX(IF(DescripPM <> '', IdPresence, NULL)) AS IdNotePM
  FROM tblpresences GROUP BY NoEmploye, DatePresence HAVING COUNT(*) > 1;
UPDATE tblpresences p JOIN presence_garde g ON p.IdPresence = g.IdGarde
  LEFT JOIN tblpresences am ON am.IdPresence = g.IdNoteAM
  LEFT JOIN tblpresences pm ON pm.IdPresence = g.IdNotePM
  SET p.DescripAM = IF(p.DescripAM <> '', p.DescripAM, IFNULL(am.DescripAM, p.DescripAM)),
      p.DescripPM = IF(p.DescripPM <> '', p.DescripPM, IFNULL(pm.DescripPM, p.DescripPM));
DELETE p FROM tblpresences p JOIN presence_garde g
  ON p.NoEmploye = g.NoEmploye AND p.DatePresence = g.DatePresence AND p.IdPresence <> g.IdGarde;
DROP TEMPORARY TABLE presence_garde;
SET @cle = IF((SELECT COUNT(*) FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE()
                AND TABLE_NAME = 'tblpresences' AND INDEX_NAME = 'ux_presence_jour') = 0,
  'ALTER TABLE tblpresences ADD UNIQUE KEY ux_presence_jour (NoEmploye, DatePresence)', 'DO 0');
PREPARE ajout FROM @cle;
EXECUTE ajout;
DEALLOCATE PREPARE ajout;

-- Special events: one row per day, the same way (the newest IdEvenement, with the newest
-- non-empty description when it has none).
CREATE TEMPORARY TABLE evenement_garde AS
  SELECT DateEvenement, MAX(IdEvenement) AS IdGarde,
         MAX(IF(Description <> '', IdEvenement, NULL)) AS IdTexte
  FROM tblevenement GROUP BY DateEvenement HAVING COUNT(*) > 1;
UPDATE tblevenement e JOIN evenement_garde g ON e.IdEvenement = g.IdGarde
  LEFT JOIN tblevenement t ON t.IdEvenement = g.IdTexte
  SET e.Description = IF(e.Description <> '', e.Description, IFNULL(t.Description, e.Description));
DELETE e FROM tblevenement e JOIN evenement_garde g
  ON e.DateEvenement = g.DateEvenement AND e.IdEvenement <> g.IdGarde;
DROP TEMPORARY TABLE evenement_garde;
SET @cle = IF((SELECT COUNT(*) FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE()
                AND TABLE_NAME = 'tblevenement' AND INDEX_NAME = 'ux_evenement_jour') = 0,
  'ALTER TABLE tblevenement ADD UNIQUE KEY ux_evenement_jour (DateEvenement)', 'DO 0');
PREPARE ajout FROM @cle;
EXECUTE ajout;
DEALLOCATE PREPARE ajout;
