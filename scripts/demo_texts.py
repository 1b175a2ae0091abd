"""Sentences of the demo office's telephone messages, as the person who took the call
writes them. Each comes with the message types it suggests (1 Rappeler, 2 A rappelé,
3 Information, 4 Rendez-vous, 5 Facturation, 6 Plainte). Fields between braces are
filled per message: the caller, amounts, times, folder numbers, dates."""


def fill(template, slots):
    return template.format_map(slots)


OPENERS = [
    ("{qui}{de_cie} a appelé pendant votre absence.", set()),
    ("{qui} a téléphoné au sujet du dossier {dossier}.", set()),
    ("{prenom} {nom}{de_cie} veut vous parler.", {1}),
    ("Appel de {qui}, dossier {dossier}.", set()),
    ("{qui} a rappelé ce matin.", {2}),
    ("{qui} a rappelé cet après-midi, deuxième appel aujourd'hui.", {2}),
    ("Message laissé sur la boîte vocale par {qui}.", set()),
    ("{qui}{de_cie} a appelé pour {collegue} (en congé aujourd'hui); je vous le transmets.", set()),
    ("Retour d'appel de {qui} concernant votre message d'hier.", {2}),
    ("{qui} est passé{e} au comptoir et a laissé ses coordonnées.", set()),
    ("{qui} (dossier {dossier}) a appelé deux fois ce matin.", {2}),
    ("La secrétaire de {qui}{de_cie} a appelé.", set()),
    ("{prenom} {nom} a téléphoné de son cellulaire.", set()),
    ("{qui} a appelé à {heure_appel}.", set()),
    ("Appel transféré par {collegue} : {qui}{de_cie}.", set()),
    ("{qui} a appelé, très pressé{e}.", set()),
    ("{qui} a laissé un message en anglais; en résumé :", set()),
    ("Nouveau client : {prenom} {nom}{de_cie}.", {3}),
    ("{qui} appelle de la part de {collegue}.", set()),
    ("{qui} voulait vous joindre avant votre réunion.", {1}),
    ("{qui}{de_cie} a répondu à votre courriel par téléphone.", {2}),
    ("Appel de l'adjointe de {qui} au sujet du dossier {dossier}.", set()),
    ("{qui} a appelé pour la troisième fois cette semaine.", {6}),
    ("{qui} a téléphoné juste après votre départ.", set()),
    ("{qui} s'excuse de ne pas avoir rappelé plus tôt.", {2}),
]

TOPICS = [
    ("Veut savoir où en est son dossier {dossier}.", {3}),
    ("Demande une soumission pour des travaux de toiture au printemps.", {3}),
    ("A reçu la facture {facture} et conteste les frais de livraison de {montant}.", {5, 6}),
    ("Ne pourra pas être présent{e} au rendez-vous de {jour}; demande de le déplacer.", {4}),
    ("Souhaite parler à quelqu'un de la comptabilité avant vendredi.", {5}),
    ("Le chèque de {montant} a été posté hier.", {5}),
    ("Confirme la livraison pour {jour} matin, entre 8 h et 10 h.", {3}),
    ("Demande une copie du contrat signé l'an dernier.", set()),
    ("Mécontent{e} du service : attend un appel du responsable aujourd'hui même.", {6}),
    ("Veut modifier l'adresse de facturation : 1250, rue Saint-Jean, Québec.", {5}),
    ("A besoin des plans révisés pour la réunion de demain.", set()),
    ("Confirme le rendez-vous du {date} à {heure}.", {4}),
    ("Demande un rendez-vous la semaine prochaine, de préférence en avant-midi.", {4}),
    ("Le paiement de {montant} n'apparaît pas sur son relevé; il faudrait vérifier.", {5}),
    ("Attend toujours le remboursement de {montant} promis le mois dernier.", {5, 6}),
    ("A reçu deux factures pour le même travail (no {facture}).", {5, 6}),
    ("Veut savoir si les documents pour l'impôt de {annee} sont prêts.", {3}),
    ("Il manque une signature à la page 3 du formulaire; {il} passera la signer {jour}.", {4}),
    ("Demande le solde exact du compte avant de faire son virement.", {5}),
    ("Le solde du dossier {dossier} est de {montant}; accepte de payer en deux versements.", {5}),
    ("Propose de régler la facture {facture} à {montant} au lieu de {montant2}.", {5}),
    ("Voudrait une estimation écrite, par courriel, avant {jour}.", {3}),
    ("Son numéro de cellulaire a changé : {tel}.", {3}),
    ("Déménage le mois prochain; la nouvelle adresse suivra par courriel.", {3}),
    ("La marchandise est arrivée endommagée : deux boîtes sur cinq.", {6}),
    ("Le technicien n'est jamais venu mardi; rendez-vous perdu.", {6}),
    ("Veut annuler la commande passée lundi, si ce n'est pas trop tard.", set()),
    ("Demande si on peut avancer la livraison au {date}.", {3}),
    ("Aimerait recevoir le rapport final en version papier.", set()),
    ("A trouvé une erreur dans l'état de compte : {montant} facturé deux fois.", {5, 6}),
    ("Veut inscrire deux employés à la formation du {date}.", {4}),
    ("Dit que le courriel envoyé hier contenait la mauvaise pièce jointe.", set()),
    ("Cherche le numéro de confirmation de la réservation.", set()),
    ("Accepte la soumission de {montant}; attend le contrat pour signer.", {5}),
    ("Refuse la soumission : trop cher comparé à la concurrence.", set()),
    ("A une question sur les frais d'intérêt ajoutés au dossier {dossier}.", {5}),
    ("Le notaire attend les documents signés avant {heure} {jour}.", {4}),
    ("Veut savoir si le bureau est ouvert entre Noël et le jour de l'An.", {3}),
    ("Sa compagnie d'assurance demande une lettre de confirmation.", set()),
    ("Voudrait parler directement au responsable du dossier {dossier}, pas à un adjoint.", {6}),
    ("Demande qu'on lui renvoie la facture {facture} par télécopieur.", {5}),
    ("Veut reporter la rencontre prévue à {heure} à plus tard dans la journée.", {4}),
    ("Les clés du local seront laissées à la réception {jour}.", {3}),
    ("A oublié son parapluie dans la salle de conférence.", set()),
    ("Réclame des frais de retard de {montant} qu'{il} juge injustifiés.", {5, 6}),
    ("Veut ajouter un deuxième propriétaire au dossier {dossier}.", set()),
    ("Demande l'état d'avancement des travaux avant sa réunion de {jour}.", {3}),
    ("Souhaite obtenir un reçu pour le paiement en argent comptant de {montant}.", {5}),
    ("L'entrepreneur commencera les travaux le {date} à 7 h.", {3}),
    ("A besoin d'une réponse aujourd'hui : c'est urgent.", {1}),
    ("Demande si la rencontre se fait en personne ou par vidéoconférence.", {4}),
    ("Le dépôt direct de {montant} a été refusé par la banque.", {5}),
]

CLOSERS = [
    ("Veuillez {le} rappeler au {tel}.", {1}),
    ("Rappeler avant {heure} si possible.", {1}),
    ("{Il} rappellera demain matin.", {2}),
    ("{Il} rappellera plus tard.", {2}),
    ("Pas besoin de rappeler.", {3}),
    ("Urgent : rappeler avant midi.", {1}),
    ("Disponible au bureau jusqu'à {heure}, ensuite au cellulaire.", {1}),
    ("{Il} attend votre courriel.", set()),
    ("Merci de {le} rappeler avant la fin de la journée.", {1}),
    ("Joignable seulement en après-midi au {tel}.", {1}),
    ("Je lui ai dit que vous étiez en réunion jusqu'à {heure}.", set()),
    ("{Il} demande qu'on laisse un message détaillé {sil} ne répond pas.", {1}),
    ("Je lui ai donné votre adresse courriel.", set()),
    ("{Il} passera au bureau {jour} en fin de journée.", {4}),
    ("Rappeler au {tel}, poste de sa secrétaire.", {1}),
    ("{Il} ne veut pas être rappelé{e} à la maison.", set()),
    ("Le dossier {dossier} est sur votre bureau.", set()),
    ("J'ai noté les détails dans le dossier {dossier}.", set()),
]

# Long messages: a list read over the telephone, a dictated summary.
LONG_MESSAGES = [
    "{qui}{de_cie} a dicté la liste des documents qu'il manque pour le dossier {dossier} :\n"
    "1. Relevés bancaires de janvier à décembre {annee}\n"
    "2. Feuillets T4 et Relevé 1 de tous les employés\n"
    "3. Factures d'achat d'équipement de plus de 500 $\n"
    "4. Contrat de location du local\n"
    "5. Reçus de dons de bienfaisance\n"
    "6. Relevé du compte de carte de crédit de l'entreprise\n"
    "7. Factures de téléphone et d'Internet\n"
    "8. Registre des kilomètres parcourus\n"
    "9. Avis de cotisation de l'an dernier\n"
    "10. Preuve de paiement des acomptes provisionnels\n"
    "11. État des stocks au 31 décembre\n"
    "12. Liste des comptes clients en souffrance\n"
    "13. Liste des comptes fournisseurs\n"
    "14. Prêts et marges de crédit : soldes au 31 décembre\n"
    "15. Factures d'honoraires professionnels\n"
    "16. Assurances : primes payées dans l'année\n"
    "17. Taxes municipales et scolaires\n"
    "18. Frais de représentation (repas, congrès)\n"
    "19. Salaires versés aux membres de la famille\n"
    "20. Dividendes déclarés\n"
    "21. Changements au registre des actionnaires\n"
    "22. Toute lettre reçue de Revenu Québec ou de l'Agence du revenu du Canada\n"
    "{Il} enverra le tout par la poste d'ici {jour}. Rappeler au {tel} s'il manque autre chose.",

    "Compte rendu de l'appel de {qui} (dossier {dossier}) :\n"
    "{Il} a reçu hier une lettre recommandée de son ancien fournisseur, qui réclame {montant} pour des "
    "travaux qu'{il} dit n'avoir jamais commandés. La lettre donne dix jours pour payer, à défaut de quoi "
    "le dossier sera transmis à une agence de recouvrement.\n"
    "{Il} voudrait savoir {sil} doit répondre par écrit, et si oui, si nous pouvons préparer la réponse. "
    "{Il} a conservé tous les bons de commande et les courriels échangés depuis l'été dernier; "
    "{il} peut les déposer à la réception {jour} matin.\n"
    "{Il} précise que le fournisseur avait déjà été payé {montant2} en octobre, chèque encaissé.\n"
    "Très {inquiet}, souhaite un retour d'appel aujourd'hui si possible, sinon demain avant {heure}.\n"
    "Téléphone : {tel}.",

    "Message de {qui}{de_cie}, à transmettre aussi à {collegue} :\n"
    "La rencontre de démarrage du projet est confirmée pour le {date} à {heure}, dans leurs bureaux.\n"
    "Ordre du jour proposé :\n"
    "- présentation des équipes;\n"
    "- échéancier des travaux et dates de livraison;\n"
    "- budget : {montant} prévus pour la première phase;\n"
    "- modalités de facturation (mensuelle, selon l'avancement);\n"
    "- assurances et responsabilités;\n"
    "- questions diverses.\n"
    "Stationnement gratuit à l'arrière de l'édifice; se présenter à la réception du 2e étage.\n"
    "{Il} demande la liste des personnes qui seront présentes, d'ici {jour}, pour les cartes d'accès.\n"
    "Apporter les plans, la soumission signée et le certificat d'assurance.\n"
    "Rappeler au {tel} pour confirmer.",
]

# Every character that a printed report must escape.
SPECIAL_MESSAGE = (
    "{qui} insiste : le solde du dossier {dossier} doit rester < 1 000 $ & être payé avant {jour}.\n"
    "Selon {il}, le fournisseur a écrit \"aucuns frais supplémentaires\" dans sa soumission.\n"
    "Rappeler au {tel}."
)
