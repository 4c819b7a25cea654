// placeholder until the toolkit lands
