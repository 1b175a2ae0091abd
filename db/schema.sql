-- Tables of the office message database. MySQL / MariaDB, utf8mb4.
-- Statements end with ';' at the end of a line (the test loader relies on it).

CREATE TABLE tblemploye (
  NoEmploye INT NOT NULL AUTO_INCREMENT,
  Nom VARCHAR(100) NOT NULL DEFAULT '',
  Actif TINYINT NOT NULL DEFAULT 1,
  MotPasse VARCHAR(100) NOT NULL DEFAULT '',
  Configuration TINYINT NOT NULL DEFAULT 0,
  DateFete DATE NULL,
  AffPresenceAuto TINYINT NOT NULL DEFAULT 0,
  PRIMARY KEY (NoEmploye)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblacces_empl (
  typeAcces INT NOT NULL,
  NoEmploye INT NOT NULL,
  PRIMARY KEY (typeAcces, NoEmploye),
  KEY ix_acces_empl (NoEmploye)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblordreemployemsg (
  NoEmploye INT NOT NULL,
  Ordre INT NOT NULL,
  PRIMARY KEY (NoEmploye)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tbletatmessage (
  IdEtat INT NOT NULL AUTO_INCREMENT,
  Description VARCHAR(50) NOT NULL DEFAULT '',
  Ordre INT NOT NULL DEFAULT 0,
  PRIMARY KEY (IdEtat)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblpriorite (
  IdPriorite INT NOT NULL AUTO_INCREMENT,
  Description VARCHAR(50) NOT NULL DEFAULT '',
  PRIMARY KEY (IdPriorite)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tbltypeclient (
  IdTypeClient INT NOT NULL AUTO_INCREMENT,
  Description VARCHAR(50) NOT NULL DEFAULT '',
  PRIMARY KEY (IdTypeClient)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

-- Callers. Telephone numbers are "(000)000-0000" with an optional ":" extension.
CREATE TABLE tblclientmsg (
  IdClientMsg INT NOT NULL AUTO_INCREMENT,
  IdClientOrbel INT NOT NULL DEFAULT 0,
  Nom VARCHAR(100) NULL,
  Prenom VARCHAR(100) NULL,
  NomCie VARCHAR(150) NULL,
  Telephone VARCHAR(25) NULL,
  TelBureau VARCHAR(25) NULL,
  Cellulaire VARCHAR(25) NULL,
  AutreTel VARCHAR(25) NULL,
  Fax VARCHAR(25) NULL,
  TypeClient INT NOT NULL DEFAULT 0,
  PRIMARY KEY (IdClientMsg),
  KEY ix_clientmsg_nom (Nom)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

-- Message text is RTF, up to several megabytes.
CREATE TABLE tblmessage (
  IdMessage INT NOT NULL AUTO_INCREMENT,
  DateSaisie DATE NOT NULL,
  HeureSaisie TIME NOT NULL,
  IdPriorite INT NOT NULL DEFAULT 2,
  IdClientMsg INT NOT NULL DEFAULT 0,
  Message MEDIUMTEXT NULL,
  PRIMARY KEY (IdMessage),
  KEY ix_message_date (DateSaisie, HeureSaisie),
  KEY ix_message_client (IdClientMsg)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

-- One row per recipient: state, unread flag and finish time belong to the recipient.
-- The message lists look rows up by recipient or sender with their state, by state alone
-- (the messages that still have a row to show) and by finish time (the interval).
CREATE TABLE tblmessageemploye (
  IdMessageEmploye INT NOT NULL AUTO_INCREMENT,
  IdMessage INT NOT NULL,
  NoEmplDe INT NOT NULL,
  NoEmplA INT NOT NULL,
  Nouveau TINYINT NOT NULL DEFAULT 1,
  IdEtat INT NOT NULL DEFAULT 1,
  DateTermine DATETIME NULL,
  NoMsgJourRecu INT NOT NULL DEFAULT 0,
  NoMsgJourEnvoi INT NOT NULL DEFAULT 0,
  PRIMARY KEY (IdMessageEmploye),
  KEY ix_me_message (IdMessage),
  KEY ix_me_a (NoEmplA, Nouveau),
  KEY ix_me_de (NoEmplDe, IdEtat, IdMessage),
  KEY ix_me_a_etat (NoEmplA, IdEtat, IdMessage),
  KEY ix_me_etat (IdEtat, IdMessage),
  KEY ix_me_termine (DateTermine)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tbltypemessage (
  IdType INT NOT NULL AUTO_INCREMENT,
  Description VARCHAR(100) NOT NULL DEFAULT '',
  PRIMARY KEY (IdType)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblmessagetype (
  IdMessage INT NOT NULL,
  IdType INT NOT NULL,
  PRIMARY KEY (IdMessage, IdType)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblmessagedossier (
  IdMessageDossier INT NOT NULL AUTO_INCREMENT,
  IdMessage INT NOT NULL,
  NoDossier VARCHAR(50) NOT NULL DEFAULT '',
  PRIMARY KEY (IdMessageDossier),
  KEY ix_dossier_message (IdMessage)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblmsgpredef (
  IdMsgPredef INT NOT NULL AUTO_INCREMENT,
  Description VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (IdMsgPredef)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

-- Colours are Windows BGR values stored as decimal numbers.
CREATE TABLE tbletatpresence (
  IdEtat INT NOT NULL AUTO_INCREMENT,
  Description VARCHAR(50) NOT NULL DEFAULT '',
  Couleur INT NOT NULL DEFAULT 16777215,
  PRIMARY KEY (IdEtat)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

-- One row per employee and day; 1 is the fixed default state.
CREATE TABLE tblpresences (
  IdPresence INT NOT NULL AUTO_INCREMENT,
  NoEmploye INT NOT NULL,
  DatePresence DATE NOT NULL,
  EtatAM INT NOT NULL DEFAULT 1,
  EtatPM INT NOT NULL DEFAULT 1,
  DescripAM VARCHAR(255) NULL,
  DescripPM VARCHAR(255) NULL,
  PRIMARY KEY (IdPresence),
  UNIQUE KEY ux_presence_jour (NoEmploye, DatePresence)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

-- One row per day.
CREATE TABLE tblevenement (
  IdEvenement INT NOT NULL AUTO_INCREMENT,
  DateEvenement DATE NOT NULL,
  Description VARCHAR(255) NOT NULL DEFAULT '',
  BackColor INT NOT NULL DEFAULT 16777215,
  ForeColor INT NOT NULL DEFAULT 0,
  PRIMARY KEY (IdEvenement),
  UNIQUE KEY ux_evenement_jour (DateEvenement)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblerreur (
  IdErreur INT NOT NULL AUTO_INCREMENT,
  IdUser INT NOT NULL DEFAULT 0,
  NomUser VARCHAR(100) NOT NULL DEFAULT '',
  DateErr DATETIME NOT NULL,
  ErrNumber VARCHAR(20) NOT NULL DEFAULT '',
  ErrDescription TEXT NULL,
  Fonction VARCHAR(100) NOT NULL DEFAULT '',
  Form VARCHAR(100) NOT NULL DEFAULT '',
  strSQL MEDIUMTEXT NULL,
  VersionBD VARCHAR(20) NOT NULL DEFAULT '',
  VersionApp VARCHAR(20) NOT NULL DEFAULT '',
  NomApp VARCHAR(50) NOT NULL DEFAULT '',
  Commentaire TEXT NULL,
  VersionOS VARCHAR(100) NOT NULL DEFAULT '',
  VersionMYSQL VARCHAR(50) NOT NULL DEFAULT '',
  Envoye TINYINT NOT NULL DEFAULT 0,
  PRIMARY KEY (IdErreur)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

-- Tables of the companion office application, read here.
CREATE TABLE tblclient (
  IdClient INT NOT NULL AUTO_INCREMENT,
  Nom VARCHAR(100) NULL,
  Prenom VARCHAR(100) NULL,
  NomCie VARCHAR(150) NULL,
  Telephone VARCHAR(25) NULL,
  TelBureau VARCHAR(25) NULL,
  Cellulaire VARCHAR(25) NULL,
  AutreTel VARCHAR(25) NULL,
  Fax VARCHAR(25) NULL,
  PRIMARY KEY (IdClient)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblpreferences (
  IdPreference INT NOT NULL AUTO_INCREMENT,
  VersionBD VARCHAR(20) NOT NULL DEFAULT '',
  PRIMARY KEY (IdPreference)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE tblmajencours (
  Id INT NOT NULL,
  Etat TINYINT NOT NULL DEFAULT 0,
  PRIMARY KEY (Id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;
